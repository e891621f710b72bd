#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qw {

/// A settings file in INI layout, read and written key by key: section and key names
/// compare without regard to case, a missing file, section or key gives the caller's
/// default, and a write replaces only the line of its key (or adds the key at the end
/// of its section, or the section at the end of the file), keeping every other line as
/// it was. Each write goes to disk at once unless writes are batched; a refused write
/// throws FileError("Unable to write to %s").
class IniFile {
public:
    static constexpr size_t kMaxValueLength = 1023;

    /// What a file that exists but cannot be read gives.
    enum class Unreadable {
        Throw,      ///< FileError("Unable to read %s: reason"): settings must not be guessed
        UseDefaults ///< reads as empty, but is never written (every write throws FileError)
    };

    /// Reads the file; a missing file reads as empty. A UTF-8 byte-order mark is
    /// accepted and written back.
    explicit IniFile(std::filesystem::path path, Unreadable unreadable = Unreadable::Throw);
    /// Takes the file's text from memory; writes still go to path.
    IniFile(std::filesystem::path path, std::string_view text);

    const std::filesystem::path& path() const { return m_path; }

    bool hasSection(std::string_view section) const;
    bool hasKey(std::string_view section, std::string_view key) const;
    /// Value with blanks round it dropped and one pair of enclosing quotes removed,
    /// cut to 1023 characters.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    /// A value of more than two characters starting "0x"/"0X" is hexadecimal, any other
    /// decimal; anything that is not a number gives fallback.
    int readInteger(std::string_view section, std::string_view key, int fallback) const;
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;
    /// A comma-text list (see parseCommaText).
    std::vector<std::string> readList(std::string_view section, std::string_view key) const;
    /// The key names of a section in file order.
    std::vector<std::string> keys(std::string_view section) const;

    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    void writeList(std::string_view section, std::string_view key,
                   const std::vector<std::string>& items);

    /// While batched, writes change only the copy in memory; endBatch writes the file once.
    void beginBatch() { ++m_batch; }
    void endBatch();

    /// Replaces the file by an empty one (a new project over an old file).
    void clear();

private:
    struct Found {
        long sectionLine = -1; ///< index of the "[section]" line, -1 when missing
        long keyLine = -1;     ///< index of the key's line, -1 when missing
        long insertAt = -1;    ///< where a new key of the section goes
    };
    Found find(std::string_view section, std::string_view key) const;
    /// Where find looks: every line's place by section and key, made in one pass over the
    /// lines when first asked (a project names each chapter by two keys of one section:
    /// a search of the lines for each would grow with the square of the chapters).
    struct SectionPlaces {
        long sectionLine = -1;
        long insertAt = -1;
        std::unordered_map<std::string, long> keys; ///< lower-case key: its first line
    };
    void indexLines() const;
    /// Keeps the places right after a line was inserted at `at` into the first section
    /// of its name, whose places are `places`.
    void lineInserted(long at, SectionPlaces& places);
    bool rawValue(std::string_view section, std::string_view key, std::string_view& value) const;
    void takeText(std::string_view text);
    void refuseUnreadFile() const;
    void save();

    std::filesystem::path m_path;
    std::vector<std::string> m_lines;
    /// lower-case section name: the places of the first section of that name
    mutable std::unordered_map<std::string, SectionPlaces> m_places;
    mutable bool m_indexed = false;
    std::string m_readError; ///< why the existing file could not be read
    bool m_byteOrderMark = false;
    int m_batch = 0;
    bool m_dirty = false;
};

/// Comma text: items joined by ","; an item holding a blank, a control character, a
/// double quote or a comma is written in double quotes with inner quotes doubled; a
/// list of one empty item is written as two double quotes.
std::string toCommaText(const std::vector<std::string>& items);
/// Splits comma text the same way, dropping blanks round unquoted items.
std::vector<std::string> parseCommaText(std::string_view text);

} // namespace qw
