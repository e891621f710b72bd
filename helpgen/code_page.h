#pragma once

#include "core/cell_text.h"
#include "core/file_io.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qw {

/// What an encoding run could not write as plain characters of the code page.
struct EncodeReport {
    size_t referenced = 0;     ///< characters written as character references (&#N;)
    size_t replaced = 0;       ///< characters written as "?" where no reference works
    std::string firstReplaced; ///< the first of them, in UTF-8, for the message
    bool clean() const { return referenced == 0 && replaced == 0; }
    void add(const EncodeReport& other);
};

/// A Windows code page: the character set a compiled help document declares through its
/// language. Text comes in as UTF-8 where it is valid UTF-8, else as Windows-1252 bytes
/// (the two ways chapter files are written); it goes out as bytes of this code page.
/// Single-byte code pages have a table of their own; any other code page (the East Asian
/// ones) keeps ASCII and writes every other character as a reference or "?".
class CodePage {
public:
    /// The code page of a language identifier (0x809, 0x419, ...); 1252 for a language
    /// whose script needs none of the other tables.
    static CodePage forLanguage(uint32_t languageId);
    /// The code page with this number; one without a table of ours keeps ASCII only.
    explicit CodePage(int number);

    int number() const { return m_number; }
    /// The code points of bytes 0x80 to 0xFF (0 where undefined); empty for a code page
    /// without a table of ours.
    std::vector<char16_t> upperHalf() const {
        return m_upper ? std::vector<char16_t>(m_upper, m_upper + 128) : std::vector<char16_t>();
    }
    /// The name HTML gives it ("windows-1251").
    std::string charsetName() const;

    /// The text in this code page. A character the code page cannot hold becomes a
    /// decimal character reference when references is true, else "?"; either is counted.
    std::string encode(std::string_view text, bool references, EncodeReport& report) const;
    /// The bytes of this code page as UTF-8.
    std::string decode(std::string_view bytes) const;

private:
    int m_number;
    const char16_t* m_upper = nullptr; ///< 128 code points, or null: ASCII only
    std::unordered_map<char32_t, char> m_bytes;
    int byteFor(char32_t codePoint) const;
};

/// The language identifier of a help project file's "Language=" line of [OPTIONS]
/// ("0x419 Russian" gives 0x419); fallback when there is none or it cannot be read.
uint32_t helpProjectLanguage(const Lines& helpProject, uint32_t fallback = 0x809);

/// Encodes a page in the code page: character references outside script and style
/// elements, "?" inside them (a reference there would change the script). A charset
/// named by a meta element is changed to the code page's name, and a page without one
/// gets one after its "<head>" tag, so that the page says what it holds (xchm reads a
/// page without one in Latin-1). A page that is all ASCII is left as it is: it reads the
/// same in any.
void encodePage(Lines& page, const CodePage& codePage, EncodeReport& report);

/// True when every byte of text is ASCII: such text reads the same in every code page.
bool isAsciiText(std::string_view text);

/// Reads a generated text file, encodes it in the code page and writes it back when it
/// changed. references as for CodePage::encode. A line that is not UTF-8 is read as
/// Windows-1252, or, with keepOtherLines, left as it stands (a file that an earlier run
/// or another program already wrote in a code page). Throws FileError.
EncodeReport encodeFile(const std::filesystem::path& path, const CodePage& codePage,
                        bool references, bool keepOtherLines = false);

} // namespace qw
