// gen_project DIR [CHAPTERS] [TOPICS]: writes a synthetic project for benchmarks.
#include "synthetic_project.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: gen_project DIR [CHAPTERS=100] [TOPICS=99]\n";
        return 2;
    }
    const int chapters = argc > 2 ? std::atoi(argv[2]) : 100;
    const int topics = argc > 3 ? std::atoi(argv[3]) : 99;
    const auto project = qw::bench::writeSyntheticProject(argv[1], chapters, topics);
    std::cout << project.projectFile.string() << '\n'
              << project.bytes / (1024.0 * 1024.0) << " MB of chapters\n";
    return 0;
}
