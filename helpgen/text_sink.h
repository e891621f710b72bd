#pragma once

#include <filesystem>
#include <fstream>
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
        m_out.write(line.data(), std::streamsize(line.size()));
        m_out.write("\r\n", 2);
    }
    /// Finishes the file and puts it in place of the target; throws FileError on failure.
    void commit();

private:
    std::filesystem::path m_target;
    std::filesystem::path m_temp;
    std::ofstream m_out;
    bool m_committed = false;
};

} // namespace qw
