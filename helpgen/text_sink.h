#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace qw {

/// A generated file written line by line, each line ended by CR LF, straight to disk
/// through a buffered stream: the contents and index of a large project never sit in
/// memory whole. The text goes to a new file beside the target; commit() replaces the
/// target with it, so a failed run leaves the old file as it was.
class TextSink {
public:
    /// Opens the new file; throws FileError("Unable to write to %s") when it cannot.
    explicit TextSink(std::filesystem::path target);
    /// Removes the new file when commit() was never reached.
    ~TextSink();
    TextSink(const TextSink&) = delete;
    TextSink& operator=(const TextSink&) = delete;

    void push_back(std::string_view line) {
        // Lines are gathered and written in large pieces: a stream write per line costs
        // more than the line itself.
        m_buffer.append(line);
        m_buffer.append("\r\n", 2);
        if (m_buffer.size() >= kBufferSize)
            writeBuffer();
    }
    /// Finishes the file and puts it in place of the target; throws FileError on failure.
    void commit();

private:
    static constexpr size_t kBufferSize = 1 << 16;
    void writeBuffer();

    std::filesystem::path m_target;
    std::filesystem::path m_temp;
    std::ofstream m_out;
    std::string m_buffer;
    bool m_committed = false;
};

} // namespace qw
