// Feeds arbitrary bytes to the built-in compiler's readers of what authors write: the
// index file, the keyword objects of a page and the words of a page. A whole document is
// then written with the bytes as its index file and its one page, and chmlib must open it
// and find every file in it.
#include "chmwrite/chm_writer.h"
#include "chmwrite/fulltext_index.h"
#include "chmwrite/keyword_index.h"

#include <chm_lib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>

namespace {

int countFile(chmFile*, chmUnitInfo*, void* context) {
    ++*static_cast<int*>(context);
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The readers on their own: nothing they return may point past the input.
    for (const auto& keyword : qw::chm::indexFileKeywords(bytes))
        for (const auto& level : keyword.levels)
            if (level.size() > 4 * bytes.size() + 16)
                __builtin_trap();
    qw::chm::pageLinkNames(bytes);
    std::vector<char16_t> cyrillic(128);
    for (size_t i = 0; i < cyrillic.size(); ++i)
        cyrillic[i] = static_cast<char16_t>(i < 64 ? 0x0410 + i : 0x00A0 + (i - 64));
    for (const auto& upper : {std::vector<char16_t>{}, cyrillic}) {
        const qw::chm::CodePageLetters letters(upper);
        qw::chm::forEachWord(bytes, letters, [&](std::string_view word, bool) {
            if (word.empty() || word.size() > 99)
                __builtin_trap();
        });
    }

    // A whole document: the bytes as its index file and as its only page.
    qw::chm::ChmWriter writer;
    qw::chm::DocumentOptions options;
    options.title = "Fuzz";
    options.defaultTopic = "page.htm";
    options.fullTextSearch = true;
    writer.setOptions(options);
    writer.addFile("page.htm", bytes);
    writer.setIndex("index.hhk", bytes);
    char path[] = "/tmp/fuzz-chm-indexes-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return 0;
    close(fd);
    writer.write(path, 1);
    chmFile* file = chm_open(path);
    if (!file)
        __builtin_trap();
    chmUnitInfo info;
    for (const char* name : {"/page.htm", "/index.hhk", "/#SYSTEM", "/#TOPICS", "/$FIftiMain"})
        if (chm_resolve_object(file, name, &info) != CHM_RESOLVE_SUCCESS)
            __builtin_trap();
    int count = 0;
    chm_enumerate(file, CHM_ENUMERATE_ALL, countFile, &count);
    chm_close(file);
    unlink(path);
    if (count == 0)
        __builtin_trap();
    return 0;
}
