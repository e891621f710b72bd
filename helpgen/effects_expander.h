#pragma once

#include "core/file_io.h"
#include "helpgen/token_replace.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// The special-effect scripts of a definition file ("Effects.sfx"), read once and then
/// applied to any number of pages. Each script replaces its marker pieces (tokens) in
/// the page and, when every one of them occurred, appends its extra lines.
class EffectsExpander {
public:
    static constexpr int kMaxScripts = 50;
    static constexpr int kMaxVariables = 20;
    static constexpr int kMaxAdditional = 30;
    /// What the settings reader gives for a missing key.
    static constexpr const char* kMissing = "!NONE!";

    EffectsExpander() = default;
    /// Reads every script of the file; a missing file gives no scripts. Throws FileError
    /// when the file is there but cannot be read.
    static EffectsExpander load(const std::filesystem::path& definitionFile);
    /// Reads the scripts from the text of a definition file. Sections and keys compare
    /// without regard to case and the first of a repeated name counts; a value loses the
    /// blanks round it and one pair of enclosing single or double quotes; values are
    /// never cut short, however long a replacement is.
    static EffectsExpander fromText(std::string_view text);

    /// Applies scripts first to last in order. The run stops at the first script number
    /// in that range whose section has no VARIABLE1 key.
    void expand(Lines& page, int first, int last) const;
    /// expand for a caller that holds the page's text already: pageText is every line of
    /// page followed by "\n". It is kept up to date with the page.
    void expand(Lines& page, int first, int last, std::string& pageText) const;
    /// Whether expand(page, first, last) would change a page whose text (its lines joined
    /// by any line ends) is pageText: whether the first token of one of those scripts is
    /// in it.
    bool wouldExpand(std::string_view pageText, int first, int last) const;

    /// True when script n (1 to 50) is defined.
    bool hasScript(int n) const;
    /// The marker pieces of script n in their order; empty when it is not defined.
    const std::vector<std::string>& tokens(int n) const;

private:
    struct Script {
        bool present = false;
        std::vector<std::string> tokens;
        std::vector<std::string> replacers;
        std::vector<std::string> additional;
        TokenFinder first{""}; ///< finds tokens[0]
    };
    bool applyScript(const Script& script, Lines& page) const;
    /// Calls visit with scripts first to last in order, leaving out those without tokens
    /// and stopping at the first that is not defined, or once visit returns true; returns
    /// whether it did.
    template <typename Visit> bool visitScripts(int first, int last, Visit visit) const;

    std::array<Script, kMaxScripts + 1> m_scripts; // index 0 unused
    mutable std::string m_pageText; ///< the page being expanded, as one text
};

/// Every line of page followed by "\n", written over text.
void joinPageText(const Lines& page, std::string& text);

} // namespace qw
