// Stands in for chmcmd in the build pipeline's tests: reads the help project file named
// by its argument and writes "<name>.chm" into the working folder, whose directory lists
// every file of [FILES] over several listing chunks with the wrong first chunk in its
// header, as chmcmd writes it. QW_FAKE_CHM_OMIT names a file to leave out.
#include "chm_test_writer.h"
#include "core/file_io.h"
#include "helpgen/compiled_document.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::filesystem::path hhp = argv[1];
    const char* omit = std::getenv("QW_FAKE_CHM_OMIT");
    std::vector<std::string> names;
    for (const std::string& file : qw::listedFiles(qw::readLines(hhp)))
        if (omit == nullptr || file != omit)
            names.push_back("/" + file);
    qw::chmtest::Layout layout;
    layout.perChunk = 2;
    layout.headerFirst = int32_t((names.size() + 1) / 2) - 1;
    qw::writeFileBytes(hhp.stem().string() + ".chm", qw::chmtest::syntheticChm(names, layout));
    std::cout << "compiled\n";
    return 0;
}
