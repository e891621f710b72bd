#pragma once

#include "core/file_io.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// The font pop-up texts are shown in.
struct PopupFont {
    std::string name = "MS Sans Serif";
    int size = 8;
    bool bold = false;
    bool italic = false;

    bool operator==(const PopupFont&) const = default;
};

struct PopupEntry {
    std::string reference;
    std::string text;

    bool operator==(const PopupEntry&) const = default;
};

/// What a pop-up text file holds. `font` is set only by a well-formed font line; `error`
/// then is empty, otherwise it holds the message to show (the entries are read all the
/// same).
struct PopupTextContent {
    std::optional<PopupFont> font;
    std::vector<PopupEntry> entries;
    std::string error;
};

inline constexpr std::string_view kNoFontParameters = "Error: No Font Parameters Found";
inline constexpr std::string_view kBadFontParameterCount =
    "Error: Invalid Number of Font Parameters";
inline constexpr std::string_view kPopupFileNameError =
    "Error: Popup Text File must be named 'TxPopups.js'.";
/// The first line of a pop-up text file that the SFX toolbar creates.
inline constexpr std::string_view kDefaultFontLine = "MyFont=\"Helvetica,10,,italic\"";

/// Reads the lines of a pop-up text file: key = text before the first "=", value = the rest
/// without one pair of enclosing double quotes, both trimmed; lines without "=" are
/// skipped; the key "MyFont" is the font line (the last one counts).
PopupTextContent parsePopupText(const Lines& lines);
/// Reads a pop-up text file; throws FileError when it cannot be read.
PopupTextContent readPopupTextFile(const std::filesystem::path& path);

/// The font of a font value "name,size,,style"; nullopt unless it has exactly four fields.
/// A size that is not a number gives 10; the style "ITALIC" or "BOLD" (any case), else plain.
std::optional<PopupFont> parsePopupFont(std::string_view value);

/// "MyFont="name,size,,STYLE"" with the name cut to 31 characters; a bold italic font is
/// written "ITALIC".
std::string popupFontLine(const PopupFont& font);
/// `ref="text"`. The pages load the file as script, so a double quote or a backslash in the
/// text would break every pop-up of the project: they are written as the character
/// references "&quot;" and "&#92;", which the pop-up shows as the characters, and line
/// breaks become blanks. Reading turns the two references back.
std::string popupEntryLine(std::string_view reference, std::string_view text);

/// The whole file: the font line, then each entry whose trimmed reference and trimmed text
/// are both non-empty, trimmed.
Lines popupTextLines(const PopupFont& font, const std::vector<PopupEntry>& entries);
/// Writes popupTextLines with CR LF line ends; throws FileError("Unable to write to %s").
void writePopupTextFile(const std::filesystem::path& path, const PopupFont& font,
                        const std::vector<PopupEntry>& entries);

/// True when the file's name, ignoring case, is "TxPopups.js" (the only name the SFX
/// toolbar accepts).
bool isPopupTextFileName(const std::filesystem::path& path);
/// Appends one entry line to the file, first creating it with kDefaultFontLine when it
/// does not exist. Throws FileError when it cannot be read or written.
void appendPopupEntry(const std::filesystem::path& path, std::string_view reference,
                      std::string_view text);

/// True when a reference can name a pop-up in the pages' script: a letter or "_" first,
/// then letters, digits and "_", and not a word the script language reserves. Other
/// references ("1st", "a.b", "new") would stop the pop-up file from loading.
bool isUsablePopupReference(std::string_view reference);

inline constexpr std::string_view kUnusablePopupReference =
    "Error: PopUp Reference must begin with a letter or '_' and hold only letters, digits "
    "and '_'.";

/// The SFX toolbar's pop-up text step: adds one entry to the pop-up text file chosen
/// since the toolbar started, asking for the file the first time (and again when it has
/// gone).
class PopupTextStep {
public:
    /// Asks for the file (the toolbar's save dialog); nullopt when the author cancels.
    using FileChooser = std::function<std::optional<std::filesystem::path>()>;
    /// Shows an error message to the author.
    using ErrorSink = std::function<void(std::string_view)>;

    PopupTextStep(FileChooser chooseFile, ErrorSink showError);

    /// Appends `reference="text"` to the chosen file, creating it with kDefaultFontLine.
    /// Returns false, writing nothing, when the reference cannot name a pop-up, when the
    /// author cancels the file choice or when the chosen file is not named "TxPopups.js"
    /// (the last two forget the chosen file). Throws FileError when the file cannot be
    /// written.
    bool addEntry(std::string_view reference, std::string_view text);

    /// The file chosen so far; empty before the first choice and after a failed one.
    const std::filesystem::path& chosenFile() const { return m_file; }

private:
    FileChooser m_chooseFile;
    ErrorSink m_showError;
    std::filesystem::path m_file;
};

} // namespace qw
