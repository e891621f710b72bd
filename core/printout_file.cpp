#include "core/printout_file.h"

#include "core/topic_list_file.h"
#include "core/topic_table.h"

namespace qw {

std::string writePrintoutFile(const TopicTable& table) {
    const std::string path = table.projectDir() + "Printout.Txt";
    writeLines(path, printoutLines(table));
    return path;
}

} // namespace qw
