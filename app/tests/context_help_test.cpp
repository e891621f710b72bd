// Context help from the real main window: the compiled help opens at the asked page in
// a viewer that can be told one, the browser help opens a frame set written where the
// author may write, and a missing help says so.
#include "window_fixture.h"

#include <QStandardPaths>

using namespace qw;
using namespace qw::test;

namespace {

const QString kPage = "cmp_create_htmlhelp_options.htm";
const QString kTreePage = "fol_cmpcreating_htmlhelp.htm";

/// A window over a data folder of its own that holds a (pretend) help.
struct HelpFixture {
    QTemporaryDir dir;
    QString data;
    std::unique_ptr<TfrmVIRedivuv> window;

    explicit HelpFixture(bool withHelp = true) {
        data = dir.filePath("data");
        copyTree(QW_DATA_DIR, data);
        if (withHelp) {
            QDir().mkpath(data + "/help/treehtml");
            writeAll(data + "/quirew.chm", "ITSF");
            writeAll(data + "/help/index.htm", "<html></html>");
            writeAll(data + "/help/" + kPage, "<html></html>");
            writeAll(data + "/help/treehtml/" + kTreePage, "<html></html>");
        }
        window = std::make_unique<TfrmVIRedivuv>(data.toStdString(),
                                                 dir.filePath("quirew.cfg").toStdString());
    }
    void useCompiledHelp(bool compiled) {
        window->action(compiled ? "mniQuireWHelp" : "mniQuireWHelpHTML")->setChecked(true);
        window->action(compiled ? "mniQuireWHelpHTML" : "mniQuireWHelp")->setChecked(false);
    }
};

} // namespace

class ContextHelpTest : public QObject {
    Q_OBJECT

    MessageRecorder messages;
    LaunchRecorder launches;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        messages.install();
        launches.install();
    }
    void init() {
        messages.clear();
        launches.launches.clear();
        qunsetenv("QUIREW_CHM_VIEWER");
    }

    void compiledHelpOpensAtThePageWhereTheViewerCan() {
        HelpFixture f;
        f.useCompiledHelp(true);
        qputenv("QUIREW_CHM_VIEWER", (f.dir.filePath("bin/kchmviewer")).toLocal8Bit());
        f.window->contextHelp(kPage, kTreePage);
        QCOMPARE(launches.launches.size(), size_t(1));
        QCOMPARE(launches.launches[0].arguments,
                 (QStringList{"-showPage", kPage, f.data + "/quirew.chm"}));

        // A viewer that cannot be told a page shows the document.
        qputenv("QUIREW_CHM_VIEWER", (f.dir.filePath("bin/fake-viewer")).toLocal8Bit());
        f.window->contextHelp(kPage, kTreePage);
        QCOMPARE(launches.launches.back().arguments, (QStringList{f.data + "/quirew.chm"}));
        QVERIFY(messages.shown.empty());
    }

    void browserHelpWritesItsFrameSetOutsideTheHelpFolder() {
        HelpFixture f;
        f.useCompiledHelp(false);
        f.window->contextHelp(kPage, kTreePage);
        QCOMPARE(launches.launches.size(), size_t(1));
        const QString frames = launches.launches[0].kind == Launch::ShellOpen
                                   ? launches.launches[0].program
                                   : launches.launches[0].arguments.value(0);
        QVERIFY2(!frames.startsWith(f.data), qPrintable(frames));
        const QByteArray text = readAll(frames);
        QVERIFY(text.contains(QUrl::fromLocalFile(f.data + "/help/" + kPage).toEncoded()));
        QVERIFY(
            text.contains(QUrl::fromLocalFile(f.data + "/help/treehtml/" + kTreePage).toEncoded()));
        QVERIFY(!QFileInfo::exists(f.data + "/help/tmpindex.htm"));
        QVERIFY(messages.shown.empty());
    }

    void missingHelpIsSaidInBothForms() {
        for (const bool compiled : {true, false}) {
            HelpFixture f(false);
            f.useCompiledHelp(compiled);
            messages.clear();
            f.window->contextHelp(kPage, kTreePage);
            QCOMPARE(messages.texts(), std::vector<std::string>{
                                           "The help of HTMLHelp Quirewright is not installed."});
        }
    }
};

QTEST_MAIN(ContextHelpTest)
#include "context_help_test.moc"
