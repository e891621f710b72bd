#include "helpgen/text_sink.h"

#include "core/file_io.h"

namespace fs = std::filesystem;

namespace qw {

TextSink::TextSink(fs::path target) : m_target(std::move(target)) {
    m_buffer.reserve(kBufferSize + 4096);
    m_temp = m_target;
    m_temp += ".qw-new";
    m_out.open(m_temp, std::ios::binary | std::ios::trunc);
    if (!m_out)
        throw FileError("Unable to write to " + m_target.string());
}

TextSink::~TextSink() {
    if (m_committed)
        return;
    m_out.close();
    std::error_code ignored;
    fs::remove(m_temp, ignored);
}

void TextSink::writeBuffer() {
    m_out.write(m_buffer.data(), std::streamsize(m_buffer.size()));
    m_buffer.clear();
}

void TextSink::commit() {
    writeBuffer();
    m_out.flush();
    const bool written = bool(m_out);
    m_out.close();
    std::error_code ec;
    if (written)
        fs::rename(m_temp, m_target, ec);
    if (!written || ec)
        throw FileError("Unable to write to " + m_target.string());
    m_committed = true;
}

} // namespace qw
