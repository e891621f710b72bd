// "DOVAZaze Options" and the two browser-document commands, driven through the real
// dialog and the real main window over a copy of the sample project. The browser is a
// fake named in the configuration and never started; help viewers are never started.
#include "window_fixture.h"

#include "app/progress_window.h"
#include "app/tree_options_dialog.h"
#include "core/ini_file.h"
#include "core/safe_output.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>

using namespace qw;
using namespace qw::test;

namespace {

const char* const kOutsideMessage =
    "Error: Files must be in the same directory\r\nor a sub-directory as the Project file.";
const char* const kNoIndexMessage =
    "DOVAZaze 'Index' file cannot be found.\r\nPlease create DOVAZaze first.";

/// Runs answer on the tree options dialog as soon as the command has opened it.
void answerDialog(std::function<void(TfrmTreeOptions*)> answer) {
    // Gives up after ten seconds, so that a dialog that never came cannot be answered
    // in a later test.
    auto* poll = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, answer, ticks] {
        auto* dialog = qobject_cast<TfrmTreeOptions*>(QApplication::activeModalWidget());
        if (!dialog && ++*ticks < 500)
            return;
        poll->stop();
        poll->deleteLater();
        if (!dialog)
            return;
        answer(dialog);
        // A check that failed part-way must not leave the dialog waiting for ever.
        if (dialog->isVisible())
            dialog->reject();
    });
    poll->start(20);
}

template <typename T = QAbstractButton> T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(name);
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QByteArray browserConfig(const QString& browser) {
    return "[ENVIRONMENT_PROPERTIES]\r\nHTMLBrowserPath=" + browser.toLocal8Bit() + "\r\n";
}

} // namespace

class TreeOptionsDialogTest : public QObject {
    Q_OBJECT

    MessageRecorder messages;
    DialogRecorder dialogs;
    LaunchRecorder launches;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        messages.install();
        dialogs.install();
        launches.install();
    }
    void init() {
        messages.clear();
        dialogs.answers.clear();
        dialogs.requests.clear();
        launches.launches.clear();
        TfrmTreeOptions::setTestColourChooser({});
    }

    void defaultsAndTheGroupsEachFormatShows() {
        MessageRoutine routine;
        TfrmTreeOptions dialog(TreeOptions{}, "/p/", QW_DATA_DIR, routine);
        QCOMPARE(dialog.windowTitle(), QString("DOVAZaze Options"));
        QVERIFY(child(&dialog, "rbStandardHTML")->isChecked());
        QVERIFY(child(&dialog, "rbStyle1")->isChecked());
        QVERIFY(child(&dialog, "rbW95Folders")->isChecked());
        QCOMPARE(child<QLineEdit>(&dialog, "edtTreeTitle")->text(), QString("MyContent"));
        QCOMPARE(child<QLineEdit>(&dialog, "edtFrameWidth")->text(), QString("180"));
        QCOMPARE(child<QLineEdit>(&dialog, "edtAppletWidth")->text(), QString("250"));
        QCOMPARE(child<QLineEdit>(&dialog, "edtAppletHeight")->text(), QString("550"));
        QCOMPARE(child<QWidget>(&dialog, "pnlBgColor")->palette().color(QPalette::Window),
                 QColor(Qt::white));

        // name of the format button, applet group shown, link styles enabled
        const std::tuple<const char*, bool, bool> formats[] = {
            {"rbJavaApplet", true, false},
            {"rbJavaScript", false, true},
            {"rbStandardHTML", false, true},
        };
        auto* applet = child<QGroupBox>(&dialog, "grpAppletProperties");
        auto* style = child<QGroupBox>(&dialog, "grpTreeStyle");
        for (const auto& [button, appletShown, stylesOn] : formats) {
            child(&dialog, button)->click();
            QCOMPARE(applet->isVisibleTo(&dialog), appletShown);
            QCOMPARE(style->isVisibleTo(&dialog), !appletShown);
            QCOMPARE(child(&dialog, "rbStyle1")->isEnabled(), stylesOn);
            QCOMPARE(child(&dialog, "rbStyle2")->isEnabled(), stylesOn);
        }

        // Stored options are shown by the same rule, and read back unchanged.
        TreeOptions stored;
        stored.format = TreeFormat::Applet;
        stored.style1 = false;
        stored.iconSet = IconSet::Arrows2;
        stored.putInSubDir = false;
        stored.bgColor = "$00123456";
        TfrmTreeOptions loaded(stored, "/p/", "", routine);
        QVERIFY(child<QGroupBox>(&loaded, "grpAppletProperties")->isVisibleTo(&loaded));
        QVERIFY(!child(&loaded, "rbStyle2")->isEnabled());
        QVERIFY(child(&loaded, "rbArrows2")->isChecked());
        const TreeOptions back = loaded.options();
        QCOMPARE(int(back.format), int(TreeFormat::Applet));
        QVERIFY(!back.style1);
        QCOMPARE(int(back.iconSet), int(IconSet::Arrows2));
        QVERIFY(!back.putInSubDir);
        QCOMPARE(back.bgColor, std::string("$00123456"));
        QCOMPARE(child<QWidget>(&loaded, "pnlBgColor")->palette().color(QPalette::Window),
                 QColor(0x56, 0x34, 0x12));
    }

    void numberBoxesTakeThreeDigitsAndBeepAtEverythingElse() {
        MessageRoutine routine;
        TfrmTreeOptions dialog(TreeOptions{}, "/p/", "", routine);
        for (const char* name : {"edtFrameWidth", "edtAppletHeight", "edtAppletWidth"}) {
            auto* box = child<QLineEdit>(&dialog, name);
            box->clear();
            const int beeps = MessageRoutine::beepCount();
            QTest::keyClicks(box, "2x0-5");
            QCOMPARE(box->text(), QString("205"));
            QCOMPARE(MessageRoutine::beepCount(), beeps + 2);
            QTest::keyClick(box, Qt::Key_7); // a fourth digit
            QCOMPARE(box->text(), QString("205"));
            QCOMPARE(MessageRoutine::beepCount(), beeps + 3);
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClick(box, Qt::Key_9);
            QCOMPARE(box->text(), QString("209"));
            // With the text selected a digit replaces it.
            box->selectAll();
            QTest::keyClick(box, Qt::Key_4);
            QCOMPARE(box->text(), QString("4"));
            QCOMPARE(MessageRoutine::beepCount(), beeps + 3);
        }
        QCOMPARE(dialog.options().frameWidth, std::string("4"));
    }

    void backgroundImageMustLieInTheProjectAndColourIsStoredByName() {
        QTemporaryDir dir;
        const std::string project = dir.path().toStdString() + "/";
        MessageRoutine routine;
        TreeOptions stored;
        stored.bgImage = "old.gif";
        TfrmTreeOptions dialog(stored, project, "", routine);
        auto* image = child<QLineEdit>(&dialog, "edtBgImage");

        dialogs.answers = {{"/elsewhere/paper.gif"}};
        child(&dialog, "btnBgImage")->click();
        QCOMPARE(dialogs.requests.back().title, QString("Select Conents Pane Background Image"));
        QCOMPARE(dialogs.requests.back().folder, QString::fromStdString(project));
        QCOMPARE(messages.texts(), std::vector<std::string>{kOutsideMessage});
        QCOMPARE(messages.shown[0].kind, MessageKind::Error);
        QCOMPARE(image->text(), QString("old.gif"));

        dialogs.answers = {{QString::fromStdString(project) + "pics/paper.gif"}};
        child(&dialog, "btnBgImage")->click();
        QCOMPARE(image->text(), QString("pics/paper.gif"));
        QCOMPARE(image->toolTip(), QString("pics/paper.gif"));
        QCOMPARE(dialog.options().bgImage, std::string("pics/paper.gif"));
        QCOMPARE(messages.shown.size(), size_t(1));

        // A basic colour is stored by its name, any other as "$00BBGGRR"; Cancel keeps it.
        QColor offered;
        TfrmTreeOptions::setTestColourChooser([&offered](const QColor& current) {
            offered = current;
            return QColor(255, 0, 0);
        });
        child(&dialog, "btnBgColor")->click();
        QCOMPARE(offered, QColor(Qt::white));
        QCOMPARE(dialog.options().bgColor, std::string("clRed"));
        TfrmTreeOptions::setTestColourChooser(
            [](const QColor&) { return QColor(0xA0, 0xDC, 0xC0); });
        QTest::mouseClick(child<QWidget>(&dialog, "pnlBgColor"), Qt::LeftButton);
        QCOMPARE(dialog.options().bgColor, std::string("$00C0DCA0"));
        TfrmTreeOptions::setTestColourChooser([](const QColor&) { return QColor(); });
        child(&dialog, "btnBgColor")->click();
        QCOMPARE(dialog.options().bgColor, std::string("$00C0DCA0"));
    }

    void viewBeforeCreateSaysThereIsNoIndex() {
        WindowFixture f(browserConfig("/usr/bin/fake-browser"));
        f.window->openProjectFile(f.project);
        f.trigger("mniViewDOVAZaze");
        QCOMPARE(messages.texts(), std::vector<std::string>{kNoIndexMessage});
        QCOMPARE(messages.shown[0].kind, MessageKind::Information);
        QVERIFY(launches.launches.empty());
    }

    void createWritesTheBrowserDocumentSavesOptionsAndOpensTheBrowser() {
        WindowFixture f(browserConfig("/usr/bin/fake-browser"));
        f.window->openProjectFile(f.project);
        QVERIFY(f.action("mniCreateDOVAZaze")->isEnabled());
        QCOMPARE(f.action("mniCreateDOVAZaze")->shortcut(), QKeySequence(Qt::Key_F9));
        bool answered = false;
        answerDialog([&answered](TfrmTreeOptions* d) {
            answered = true;
            child<QLineEdit>(d, "edtTreeTitle")->setText("Harbour Tree");
            child(d, "rbOS2Folders")->click();
            child(d, "rbStyle2")->click();
            child(d, "btnCreate")->click();
        });
        f.window->show();
        QApplication::setActiveWindow(f.window.get());
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QTest::keyClick(f.window.get(), Qt::Key_F9);
        QVERIFY(answered);
        QVERIFY(messages.shown.empty());

        const QDir sample(f.dir.filePath("sample"));
        const QByteArray index = readAll(sample.filePath("index.htm"));
        QVERIFY2(index.contains("<FRAME SRC=\"treehtml/unexpand.htm\""), index.constData());
        const QByteArray contents = readAll(sample.filePath("treehtml/unexpand.htm"));
        QVERIFY(contents.contains("<small>Harbour Tree</small>"));
        QVERIFY(contents.contains("a:hover{color: blue; text-decoration:underline}"));
        QVERIFY(sample.exists("treehtml/expand.htm"));
        QVERIFY(sample.exists("treehtml/fol_clos.gif"));
        QCOMPARE(readAll(sample.filePath("treehtml/fol_clos.gif")),
                 readAll(QW_DATA_DIR "/Icons/OS2/fol_clos.gif"));
        QVERIFY(sample.exists("aboutjmp.htm"));
        // Every topic's page, written without keyword objects.
        const TopicTable& table = f.window->session().table();
        int topics = 0;
        for (size_t r = 1; r < table.endRow(); ++r) {
            if (!table.isTopicRow(r) || table.isWebTopic(r))
                continue;
            ++topics;
            const QString page = sample.filePath(QString::fromStdString(table.topicLinkPath(r)));
            QVERIFY2(QFileInfo::exists(page), qPrintable(page));
            QVERIFY(!readAll(page).contains("\"Keyword\""));
        }
        QVERIFY(topics > 3);

        const IniFile project(f.project.toStdString());
        QCOMPARE(project.readString("DOVAZazeOpt", "TreeTitle", ""), std::string("Harbour Tree"));
        QCOMPARE(project.readString("DOVAZazeOpt", "OS2Folders", ""), std::string("1"));
        QCOMPARE(project.readString("DOVAZazeOpt", "W95Folders", ""), std::string("0"));
        QCOMPARE(project.readString("DOVAZazeOpt", "Style1", ""), std::string("0"));

        // The browser named in the settings gets the frame set.
        QCOMPARE(launches.launches.size(), size_t(1));
        QCOMPARE(launches.launches[0].program, QString("/usr/bin/fake-browser"));
        QCOMPARE(launches.launches[0].arguments, QStringList{sample.filePath("index.htm")});
        // The progress window closes itself after its last step.
        QTRY_VERIFY_WITH_TIMEOUT(!f.window->progressWindow().isVisible(), 3000);
        QVERIFY(f.window->toolBar()->isEnabled());

        f.trigger("mniViewDOVAZaze");
        QCOMPARE(launches.launches.size(), size_t(2));
        QCOMPARE(launches.launches[1].arguments, QStringList{sample.filePath("index.htm")});
        QVERIFY(messages.shown.empty());
    }

    void cancelLeavesProjectAndTreeAlone() {
        WindowFixture f(browserConfig("/usr/bin/fake-browser"));
        f.window->openProjectFile(f.project);
        const QByteArray before = readAll(f.project);
        answerDialog([](TfrmTreeOptions* d) {
            child<QLineEdit>(d, "edtTreeTitle")->setText("Not Kept");
            child(d, "btnCancel")->click();
        });
        f.trigger("mniCreateDOVAZaze");
        QCOMPARE(readAll(f.project), before);
        QVERIFY(!QFileInfo::exists(f.dir.filePath("sample/index.htm")));
        QVERIFY(!QFileInfo::exists(f.dir.filePath("sample/treehtml")));
        QVERIFY(launches.launches.empty());
        QVERIFY(messages.shown.empty());
    }

    void missingTemplateIsSaidAndTheOptionsAreStillSaved() {
        WindowFixture f(browserConfig("/usr/bin/fake-browser"));
        // A data folder without the script template.
        const QString data = f.dir.filePath("data");
        copyTree(QW_DATA_DIR, data);
        QVERIFY(QFile::remove(data + "/TScripts/JSTree.hts"));
        f.window.reset();
        f.window = std::make_unique<TfrmVIRedivuv>(data.toStdString(), f.config.toStdString());
        f.window->openProjectFile(f.project);
        answerDialog([](TfrmTreeOptions* d) {
            child(d, "rbJavaScript")->click();
            child(d, "chkViewWhenCreated")->click();
            child(d, "btnCreate")->click();
        });
        f.trigger("mniCreateDOVAZaze");
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Cannot find required file, 'JSTree.hts'.\r\nReinstall "
                                          "HTMLHelp Quirewright to restore this file."});
        QCOMPARE(messages.shown[0].kind, MessageKind::Error);
        const IniFile project(f.project.toStdString());
        QCOMPARE(project.readString("DOVAZazeOpt", "JavaScript", ""), std::string("1"));
        QCOMPARE(project.readString("DOVAZazeOpt", "ViewWhenCreated", ""), std::string("0"));
        QVERIFY(launches.launches.empty());
        QTRY_VERIFY_WITH_TIMEOUT(!f.window->progressWindow().isVisible(), 3000);
    }

    void aTreeFileThatCannotBeWrittenEndsTheCommandAndLetsTheWindowGo() {
        WindowFixture f(browserConfig("/usr/bin/fake-browser"));
        f.window->openProjectFile(f.project);
        const QString blocked = f.dir.filePath("sample/treehtml/unexpand.htm");
        OutputGuard::setFaultForTesting(
            [](std::string_view operation, const std::filesystem::path& path) {
                return operation == "write" && path.filename() == "unexpand.htm";
            });
        answerDialog([](TfrmTreeOptions* d) {
            child<QLineEdit>(d, "edtTreeTitle")->setText("Not Saved");
            child(d, "btnCreate")->click();
        });
        f.trigger("mniCreateDOVAZaze");
        OutputGuard::setFaultForTesting({});
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Unable to write to " + blocked.toStdString()});
        // The options stay unsaved, nothing is shown, and the progress window goes.
        QCOMPARE(IniFile(f.project.toStdString()).readString("DOVAZazeOpt", "TreeTitle", ""),
                 std::string());
        QVERIFY(launches.launches.empty());
        QVERIFY(!f.window->progressWindow().isVisible());
        QVERIFY(f.window->toolBar()->isEnabled());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void helpOpensTheDialogsPageThroughTheContextHelp() {
        WindowFixture f(browserConfig("/usr/bin/fake-browser"));
        // A data folder with a (pretend) browser help holding the dialog's page.
        const QString data = f.dir.filePath("data");
        copyTree(QW_DATA_DIR, data);
        QDir().mkpath(data + "/help/treehtml");
        writeAll(data + "/help/index.htm", "<html></html>");
        writeAll(data + "/help/tre_options.htm", "<html></html>");
        writeAll(data + "/help/treehtml/fol_trecreate_dovazaze.htm", "<html></html>");
        f.window.reset();
        f.window = std::make_unique<TfrmVIRedivuv>(data.toStdString(), f.config.toStdString());
        f.window->action("mniQuireWHelpHTML")->trigger();
        launches.launches.clear();
        messages.clear();
        f.window->openProjectFile(f.project);
        QList<QVariant> asked;
        answerDialog([&asked](TfrmTreeOptions* d) {
            QSignalSpy spy(d, &TfrmTreeOptions::helpRequested);
            child(d, "btnHelp")->click();
            if (!spy.isEmpty())
                asked = spy.at(0);
            child(d, "btnCancel")->click();
        });
        f.trigger("mniCreateDOVAZaze");
        QCOMPARE(asked, (QList<QVariant>{"tre_options.htm", "fol_trecreate_dovazaze.htm"}));
        QCOMPARE(launches.launches.size(), size_t(1));
        QCOMPARE(launches.launches[0].program, QString("/usr/bin/fake-browser"));
        const QByteArray frames = readAll(launches.launches[0].arguments.value(0));
        QVERIFY2(frames.contains("/help/tre_options.htm\""), frames.constData());
        QVERIFY(frames.contains("/help/treehtml/fol_trecreate_dovazaze.htm\""));
        QVERIFY(messages.shown.empty());
    }
};

QTEST_MAIN(TreeOptionsDialogTest)
#include "tree_options_dialog_test.moc"
