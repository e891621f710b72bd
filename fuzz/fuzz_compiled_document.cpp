// Feeds arbitrary bytes to the readers of compiled help documents and to the page
// fixes of the help build: the directory reader must never read outside the bytes, the
// code page round trip must give valid UTF-8 back the same, the body-style move must
// stay within the page.
#include "core/file_io.h"
#include "helpgen/body_style.h"
#include "helpgen/chm_directory.h"
#include "helpgen/code_page.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qw::ChmDirectory directory = qw::readChmDirectory(bytes);
    if (directory.readable() && directory.chainFirst < 0)
        __builtin_trap();

    const std::string_view text = bytes.substr(0, 4096);
    for (int number : {1250, 1251, 1252, 1253, 932}) {
        const qw::CodePage codePage(number);
        qw::EncodeReport report;
        const std::string encoded = codePage.encode(text, false, report);
        if (qw::isValidUtf8(text) && report.clean() && codePage.decode(encoded) != text)
            __builtin_trap();
    }

    qw::Lines page = qw::splitLines(text);
    qw::moveBodyAttributesToStyle(page);
    return 0;
}
