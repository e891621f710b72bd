#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qw {

/// The text of a generated file built line by line, each line ended by CR LF, without
/// keeping a separate string per line (the contents and index of a large project would
/// otherwise hold tens of thousands of them).
class TextSink {
public:
    void push_back(std::string_view line) {
        m_text += line;
        m_text += "\r\n";
    }
    /// Sets aside room for about this many bytes, so that the text is not copied as it grows.
    void reserve(size_t bytes) { m_text.reserve(bytes); }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

} // namespace qw
