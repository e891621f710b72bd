// Measures the topic grid on a synthetic project of 100 chapters x 99 topics: the time from
// opening the project to the first painted grid, and the paint time of every page of rows
// while scrolling from top to bottom. Run with QT_QPA_PLATFORM=offscreen (or under Xvfb).
#include "app/topic_grid.h"
#include "app/topic_table_model.h"
#include "bench/synthetic_project.h"
#include "grid_test_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace qw;

namespace {

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int chapters = argc > 1 ? std::atoi(argv[1]) : 100;
    const int topics = argc > 2 ? std::atoi(argv[2]) : 99;
    QTemporaryDir dir;
    const auto project =
        bench::writeSyntheticProject(dir.path().toStdString() + "/proj", chapters, topics);

    test::RecordingHost host;
    ProjectSession session(host, QW_DATA_DIR, dir.path().toStdString() + "/quirew.cfg");
    TopicGrid grid(session, host);
    grid.resize(1000, 700);
    grid.show();
    app.processEvents();

    QElapsedTimer timer;
    timer.start();
    if (!session.openProject(project.projectFile.string())) {
        std::fprintf(stderr, "could not open the synthetic project\n");
        return 1;
    }
    const double loaded = double(timer.nsecsElapsed()) / 1e6;
    grid.viewport()->repaint();
    app.processEvents();
    const double shown = double(timer.nsecsElapsed()) / 1e6;

    QScrollBar* bar = grid.verticalScrollBar();
    std::vector<double> pageMs;
    bar->setValue(0);
    QElapsedTimer scroll;
    scroll.start();
    for (int value = 0;; value += bar->pageStep()) {
        QElapsedTimer page;
        page.start();
        bar->setValue(std::min(value, bar->maximum()));
        grid.viewport()->repaint();
        pageMs.push_back(double(page.nsecsElapsed()) / 1e6);
        if (value >= bar->maximum())
            break;
    }
    if (std::getenv("QW_BENCH_PAGES"))
        for (size_t i = 0; i < pageMs.size(); ++i)
            std::printf("%zu %.2f\n", i, pageMs[i]);
    const double scrollTotal = double(scroll.nsecsElapsed()) / 1e6;

    std::printf("rows: %d (%d chapters x %d topics)\n", grid.tableModel().rowCount(), chapters,
                topics);
    std::printf("open project (parse + model reset): %.1f ms\n", loaded);
    std::printf("open until the filled grid is painted: %.1f ms (target <= 1000 ms)\n", shown);
    std::printf("scroll top to bottom: %zu pages, %.1f ms in all\n", pageMs.size(), scrollTotal);
    std::printf("paint per page: median %.2f ms, 95th %.2f ms, worst %.2f ms\n",
                percentile(pageMs, 0.5), percentile(pageMs, 0.95),
                *std::max_element(pageMs.begin(), pageMs.end()));
    return shown <= 1000.0 ? 0 : 2;
}
