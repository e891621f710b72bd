// Feeds arbitrary bytes to the chapter parser and writes the result back in memory.
#include "core/chapter_parser.h"
#include "core/chapter_writer.h"
#include "core/topic_table.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qw::Lines lines = qw::splitLines(bytes);
    qw::TopicTable table;
    table.setProjectDir("/p/");
    qw::ParseOptions options;
    options.separator = size % 3 == 0 ? "<HR>" : "--";
    const int n = qw::parseChapterText(bytes, "/p/chap.htm", table, options);
    if (n > 0) {
        if (n > qw::kMaxTopicsPerChapter || table.rowCount() != size_t(n) + 3)
            __builtin_trap();
        for (size_t r = 2; r < table.endRow(); ++r) {
            const auto block = qw::metadataBlock(table, r, options.separator);
            if (block.metadata.empty())
                __builtin_trap();
            (void)table.topicLinkPath(r);
        }
    }
    (void)qw::chapterHead(lines);
    return 0;
}
