// Compresses arbitrary bytes into a help document (the input as its only file, and
// again stretched over several reset intervals) and reads them back with chmlib, whose
// decompressor was written independently of ours: the file must come back unchanged.
#include "chmwrite/chm_writer.h"

#include <chm_lib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string readBack(const std::string& path, const char* name) {
    chmFile* file = chm_open(path.c_str());
    if (!file)
        __builtin_trap();
    chmUnitInfo info;
    if (chm_resolve_object(file, name, &info) != CHM_RESOLVE_SUCCESS)
        __builtin_trap();
    std::string bytes(info.length, '\0');
    if (info.length > 0 &&
        chm_retrieve_object(file, &info, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                            static_cast<LONGINT64>(info.length)) !=
            static_cast<LONGINT64>(info.length))
        __builtin_trap();
    chm_close(file);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    // Repeating the input with a counter gives long matches, runs and interval edges.
    std::string stretched;
    for (int i = 0; !input.empty() && stretched.size() < 200000 && i < 4000; ++i)
        stretched += input + static_cast<char>(i);
    qw::chm::ChmWriter writer;
    writer.addFile("input.bin", input);
    writer.addFile("stretched.bin", stretched);
    char path[] = "/tmp/fuzz_lzxXXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    writer.write(path, 2);
    if (readBack(path, "/input.bin") != input || readBack(path, "/stretched.bin") != stretched)
        __builtin_trap();
    std::remove(path);
    return 0;
}
