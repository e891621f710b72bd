// Project Options and Environment Options driven through the real dialog, opened from
// the main window over a copy of the sample project with a configuration of its own.
#include "window_fixture.h"

#include "app/options_dialog.h"
#include "app/topic_grid.h"
#include "core/ini_file.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

using namespace qw;
using namespace qw::test;

namespace {

/// Runs answer on the options dialog as soon as the command has opened it.
void answerDialog(std::function<void(TfrmOptions*)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* dialog = qobject_cast<TfrmOptions*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(dialog);
        }
    });
    poll->start(20);
}

template <typename T = QCheckBox> T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(name);
    if (!found)
        qFatal("no control %s", name);
    return found;
}

void click(QWidget* dialog, const char* name) {
    child<QAbstractButton>(dialog, name)->click();
}

/// The keys of a section in file order.
QStringList sectionKeys(const QString& path, const QByteArray& section) {
    QStringList keys;
    bool inside = false;
    for (const QByteArray& line : readAll(path).split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[')) {
            inside = trimmed == "[" + section + "]";
            continue;
        }
        if (inside && trimmed.contains('='))
            keys << QString::fromLatin1(trimmed.left(trimmed.indexOf('=')));
    }
    return keys;
}

QStringList tabCaptions(const TfrmOptions& dialog) {
    QStringList captions;
    const auto* tabs = dialog.findChild<QTabWidget*>("pgcOptions");
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->isTabVisible(i))
            captions << tabs->tabText(i);
    return captions;
}

const QStringList kPropertyKeys = {"TitleBarText",
                                   "DefaultPage",
                                   "UseStyleSheet",
                                   "CreateContextIDs",
                                   "Language",
                                   "AdditonalFiles",
                                   "ShowWinMaximised",
                                   "WindowHeight",
                                   "WindowWidth",
                                   "WindowTop",
                                   "WindowLeft",
                                   "NavPaneWidth",
                                   "SaveUserSize",
                                   "WinNoResize",
                                   "WinStayOnTop",
                                   "ShowNavIndexTab",
                                   "ShowNavSearchTab",
                                   "ShowNavAdvSearch",
                                   "ShowNavFavsTab",
                                   "ShowNavHistTab",
                                   "TabsOnTop",
                                   "TabsOnBottom",
                                   "TabsOnSide",
                                   "ShowMenu",
                                   "HideToolbar",
                                   "UseSmallTBar",
                                   "AutoHideNav",
                                   "ShowNavigatorPane",
                                   "ToolWindowStyle",
                                   "IndentedTBar",
                                   "CreateBinaryTOC",
                                   "ContentsOptVal",
                                   "UserFolders",
                                   "AutoSync",
                                   "DrawBoxes",
                                   "DrawTreeLines",
                                   "IndentTree",
                                   "AutoCloseChaps",
                                   "MouseOverStyle",
                                   "ShowInsetFrame",
                                   "HideShowNav",
                                   "Forward",
                                   "Locate",
                                   "Print",
                                   "Options",
                                   "Back",
                                   "Refresh",
                                   "Stop",
                                   "Font",
                                   "NextPrevTBBtns",
                                   "UseCustomButton",
                                   "CustomBtnPage",
                                   "CustomBtnCaption",
                                   "UseHomeButton",
                                   "HomeBtnPage",
                                   "AddPrevNextLinks",
                                   "UsePrevNextImages",
                                   "NextPageImage",
                                   "PrevPageImage",
                                   "TopicFooter",
                                   "NavFontName",
                                   "NavFontSize",
                                   "NavFontBold",
                                   "NavFontItalic"};

const char* const kNextPrevQuestion =
    "To enable the 'Next/Previous' Toolbar Buttons, the option\r\n"
    "'Create Binary Contents' (HHMiscell Tab) will also be set.\r\n"
    "This introduces several limitations (see Help for more details).\r\n"
    "\r\n"
    "Do you want to continue?";

const char* const kSmallToolbarWarning = "This is a undocumented feature of HTMLHelp.\r\n"
                                         "\r\n"
                                         "The Small Toolbar will remain even if this option\r\n"
                                         "is later unticked (but only on the current system).\r\n"
                                         "Please see the Help for more details.\r\n"
                                         "\r\n"
                                         "Are you sure you wish to set this option?";

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

private:
    MessageRecorder messages;
    DialogRecorder dialogs;
    LaunchRecorder launches;

    /// The sample opened, then its project file cut back to the chapter list, so that
    /// the next confirmation writes every property afresh.
    static void openBare(WindowFixture& f) {
        f.window->openProjectFile(f.project);
        QByteArray text = readAll(f.project);
        writeAll(f.project, text.left(text.indexOf("[PROJECT_PROPERTIES]")));
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        messages.install();
        dialogs.install();
        // The Help button would otherwise start the desktop's browser or a help viewer.
        launches.install();
    }
    void init() {
        messages.clear();
        dialogs.requests.clear();
        dialogs.answers.clear();
        launches.launches.clear();
    }

    void projectPagesWindowFlagsAndHelp() {
        WindowFixture f;
        openBare(f);
        std::string definition;
        QString help;
        QStringList captions;
        answerDialog([&](TfrmOptions* dialog) {
            captions = tabCaptions(*dialog);
            QCOMPARE(dialog->windowTitle(), QString("Project Options"));
            QCOMPARE(dialog->findChild<QTabWidget*>()->currentWidget()->objectName(),
                     QString("tabGeneral"));
            definition = dialog->projectOptions().windowDefinition("sample");
            // The page lists offer every topic by its link path.
            const TopicTable& table = f.window->session().table();
            QStringList topics;
            for (size_t r = 1; r < table.endRow(); ++r)
                if (table.isTopicRow(r))
                    topics << QString::fromStdString(table.topicLinkPath(r));
            auto* pages = child<QComboBox>(dialog, "cmbCustomBtnPage");
            QCOMPARE(pages->count(), int(topics.size()));
            QVERIFY(topics.size() > 3);
            QCOMPARE(pages->itemText(2), topics[2]);
            QVERIFY(!child(dialog, "chkShowNavHistTab")->isVisibleTo(dialog));
            QSignalSpy spy(dialog, &TfrmOptions::helpRequested);
            dialog->findChild<QTabWidget*>()->setCurrentWidget(
                child<QWidget>(dialog, "tabToolbar"));
            click(dialog, "btnHelp");
            help = spy.at(0).at(0).toString() + " " + spy.at(0).at(1).toString();
            dialog->reject();
        });
        f.trigger("mniProjectOptions");
        QCOMPARE(captions,
                 (QStringList{"General", "Layout*", "Miscell*", "Toolbar*", "Additional"}));
        QCOMPARE(help, QString("prj_toolbar_tab.htm fol_prjproject_options.htm"));
        // The request reached the window's help routine, which either opened the page or
        // said that the help is missing; it never fails silently.
        const auto texts = messages.texts();
        QVERIFY(!launches.launches.empty() ||
                std::count(texts.begin(), texts.end(),
                           "The help of HTMLHelp Quirewright is not installed.") == 1);
        // Default ticks: window properties 0x1520 (+0x2000), buttons 0x3006 (+0x80000).
        QVERIFY2(definition.find(",0x003520,220,0x083006,[0,0,640,480],") != std::string::npos,
                 definition.c_str());
    }

    void rulesBetweenOptionsWithTheirMessages() {
        WindowFixture f;
        openBare(f);
        bool ran = false;
        answerDialog([this, &ran](TfrmOptions* d) {
            ran = true;
            const ProjectOptions& o = d->projectOptions();
            const unsigned buttons = o.toolbarButtonSum();
            messages.answers = {Answer::No};
            click(d, "chkNextPrevTBBtns");
            QCOMPARE(messages.texts(), std::vector<std::string>{kNextPrevQuestion});
            QCOMPARE(messages.shown[0].kind, MessageKind::Information);
            QVERIFY(!child(d, "chkNextPrevTBBtns")->isChecked());
            QVERIFY(!child(d, "chkCreateBinaryTOC")->isChecked());
            QCOMPARE(o.toolbarButtonSum(), buttons);
            click(d, "chkNextPrevTBBtns"); // Yes
            QVERIFY(child(d, "chkCreateBinaryTOC")->isChecked());
            QCOMPARE(o.toolbarButtonSum(), buttons + 0x600000);
            click(d, "chkCreateBinaryTOC");
            QCOMPARE(messages.shown.back().text,
                     std::string("The option to show the 'Next/Previous' Toolbar\r\n"
                                 "Buttons (HHToolbar Tab) is set, these will be\r\n"
                                 "disabled if 'Create Binary Contents' is not set."));
            QVERIFY(child(d, "chkNextPrevTBBtns")->isChecked());

            messages.answers = {Answer::No};
            click(d, "chkUseSmallTBar");
            QCOMPARE(messages.shown.back().text, std::string(kSmallToolbarWarning));
            QCOMPARE(messages.shown.back().kind, MessageKind::Warning);
            QVERIFY(!child(d, "chkUseSmallTBar")->isChecked());
            QCOMPARE(o.windowPropertySum(), 0x1520u);

            click(d, "chkShowNavAdvSearch");
            click(d, "chkShowNavSearchTab");
            QVERIFY(!child(d, "chkShowNavAdvSearch")->isChecked());
            QVERIFY(!child(d, "chkShowNavAdvSearch")->isEnabled());
            click(d, "chkShowNavSearchTab");
            QVERIFY(child(d, "chkShowNavAdvSearch")->isEnabled());
            QCOMPARE(o.windowPropertySum(), 0x1520u);

            click(d, "chkUsePrevNextImages");
            QVERIFY(child<QLineEdit>(d, "edNextPageImage")->isEnabled());
            click(d, "chkAddPrevNextLinks");
            QVERIFY(!child(d, "chkUsePrevNextImages")->isChecked());
            QVERIFY(!child(d, "chkUsePrevNextImages")->isEnabled());
            QVERIFY(!child<QLineEdit>(d, "edNextPageImage")->isEnabled());

            QVERIFY(!child<QComboBox>(d, "cmbCustomBtnPage")->isEnabled());
            click(d, "chkUseCustomButton");
            child<QLineEdit>(d, "edCustomBtnCaption")->setText("Shop");
            emit child<QLineEdit>(d, "edCustomBtnCaption")->textEdited("Shop");
            child<QComboBox>(d, "cmbCustomBtnPage")->setCurrentIndex(1);
            QVERIFY(!o.customBtnPage.empty());
            click(d, "chkUseCustomButton");
            click(d, "chkUseCustomButton");
            QVERIFY(child<QLineEdit>(d, "edCustomBtnCaption")->isEnabled());
            QCOMPARE(child<QLineEdit>(d, "edCustomBtnCaption")->text(), QString());
            QVERIFY(o.customBtnCaption.empty() && o.customBtnPage.empty());

            click(d, "chkShowWinMaximised");
            const QRect screen = QGuiApplication::primaryScreen()->geometry();
            QCOMPARE(child<QLineEdit>(d, "edWindowHeight")->text(),
                     QString::number(screen.height() - 28));
            QVERIFY(!child<QLineEdit>(d, "edWindowHeight")->isEnabled());
            QVERIFY(!child<QPushButton>(d, "btnAutoSizer")->isEnabled());
            d->reject();
        });
        f.trigger("mniProjectOptions");
        QVERIFY(ran);
    }

    void sizeBoxesTakeDigitsOnlyAndRefillWhenEmpty() {
        WindowFixture f;
        openBare(f);
        bool ran = false;
        answerDialog([&ran](TfrmOptions* d) {
            ran = true;
            d->findChild<QTabWidget*>()->setCurrentWidget(child<QWidget>(d, "tabLayout"));
            auto* height = child<QLineEdit>(d, "edWindowHeight");
            height->clear();
            const int beeps = MessageRoutine::beepCount();
            QTest::keyClicks(height, "5x0-0");
            QCOMPARE(height->text(), QString("500"));
            QCOMPARE(MessageRoutine::beepCount(), beeps + 2);
            QTest::keyClicks(height, "12");
            QCOMPARE(height->text(), QString("5001")); // four digits at most
            QCOMPARE(d->projectOptions().windowHeight, std::string("5001"));
            auto* pane = child<QLineEdit>(d, "edNavPaneWidth");
            QCOMPARE(pane->maxLength(), 3);
            pane->setFocus();
            pane->selectAll();
            QTest::keyClick(pane, Qt::Key_Backspace);
            QTest::keyClicks(pane, "  ");
            QCOMPARE(MessageRoutine::beepCount(), beeps + 4);
            emit pane->editingFinished();
            QCOMPARE(pane->text(), QString("100"));
            QCOMPARE(d->projectOptions().navPaneWidth, std::string("100"));
            d->reject();
        });
        f.trigger("mniProjectOptions");
        QVERIFY(ran);
    }

    void cancelWritesNothingButKeepsTheContentsStyle() {
        WindowFixture f;
        f.window->openProjectFile(f.project);
        const QByteArray project = readAll(f.project);
        const QByteArray helpProject = readAll(f.dir.filePath("sample/sample.hhp"));
        QVERIFY(!helpProject.isEmpty());
        QCOMPARE(f.window->session().settings().contentsOptVal, std::string("0x800227"));
        answerDialog([](TfrmOptions* d) {
            QCOMPARE(d->projectOptions().contentsOptVal(), std::string("0x800227"));
            click(d, "chkAutoCloseChaps");
            child<QLineEdit>(d, "edTitleBarText")->setText("Changed");
            d->reject();
        });
        f.trigger("mniProjectOptions");
        QCOMPARE(readAll(f.project), project);
        QCOMPARE(readAll(f.dir.filePath("sample/sample.hhp")), helpProject);
        QCOMPARE(f.window->session().settings().contentsOptVal, std::string("0x800627"));
        QCOMPARE(f.window->session().settings().titleBarText, std::string("Tidewater Notes Help"));
    }

    void okWritesEveryPropertyTheSessionAndTheHelpProject() {
        WindowFixture f;
        openBare(f);
        QString page;
        answerDialog([&page](TfrmOptions* d) {
            child<QLineEdit>(d, "edTitleBarText")->setText("Harbour Guide");
            emit child<QLineEdit>(d, "edTitleBarText")->textEdited("Harbour Guide");
            child<QComboBox>(d, "cmbDefaultPage")->setCurrentIndex(1);
            page = child<QComboBox>(d, "cmbDefaultPage")->currentText();
            click(d, "chkUserFolders");
            click(d, "chkBack");
            click(d, "chkBack");
            click(d, "chkIndentTree");
            click(d, "rbTabsOnBottom");
            QCOMPARE(d->projectOptions().tabPositionText(), std::string("0x2"));
            click(d, "btnOK");
        });
        f.trigger("mniProjectOptions");
        QCOMPARE(sectionKeys(f.project, "PROJECT_PROPERTIES"), kPropertyKeys);
        const IniFile ini(f.project.toStdString());
        QCOMPARE(ini.readString("PROJECT_PROPERTIES", "ContentsOptVal", ""),
                 std::string("0x800223"));
        QVERIFY(ini.readBool("PROJECT_PROPERTIES", "TabsOnBottom", false));
        QVERIFY(!ini.readBool("PROJECT_PROPERTIES", "TabsOnTop", true));
        const ProjectSettings& s = f.window->session().settings();
        QCOMPARE(s.titleBarText, std::string("Harbour Guide"));
        QCOMPARE(s.pages.defaultPage, page.toStdString());
        QVERIFY(s.userFolders);
        const QByteArray hhp = readAll(f.dir.filePath("sample/sample.hhp"));
        QVERIFY2(hhp.contains("\"Harbour Guide\",\"sample_toc.hhc\""), hhp.constData());
        QVERIFY(hhp.contains(",0x003520,220,0x083006,"));
        QVERIFY(hhp.contains(("Default topic=" + page).toUtf8()));
    }

    void refusedWriteIsShownAndEndsTheCommand() {
        WindowFixture f;
        f.window->openProjectFile(f.project);
        const QString helpProject = f.dir.filePath("sample/sample.hhp");
        QFile::remove(helpProject);
        QVERIFY(QDir().mkdir(helpProject)); // a folder where the file must go
        messages.clear();
        int result = -1;
        answerDialog([&result](TfrmOptions* d) {
            click(d, "btnOK");
            result = d->result();
        });
        f.trigger("mniProjectOptions");
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Unable to write to " + helpProject.toStdString() +
                                          ": Is a directory"});
        QCOMPARE(messages.shown[0].kind, MessageKind::Error);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void storedSmallToolbarAndFontAreShownWhileLoading() {
        WindowFixture f;
        f.window->openProjectFile(f.project);
        QByteArray text = readAll(f.project);
        text.replace("UseSmallTBar=0", "UseSmallTBar=1");
        text.replace("NavFontName=DEFAULT_FONT", "NavFontName=Arial");
        text.replace("NavFontSize=8", "NavFontSize=10");
        text.replace("NavFontBold=0", "NavFontBold=1");
        writeAll(f.project, text);
        messages.clear();
        messages.answers = {Answer::No};
        QStringList fonts;
        answerDialog([&fonts](TfrmOptions* d) {
            QVERIFY(!child(d, "chkUseSmallTBar")->isChecked());
            auto* button = child<QPushButton>(d, "btnSetFont");
            fonts << child<QLabel>(d, "lblNavFont")->text() << button->toolTip();
            emit button->customContextMenuRequested(QPoint(2, 2)); // right-click: no font
            fonts << child<QLabel>(d, "lblNavFont")->text() << button->toolTip();
            d->accept();
        });
        f.trigger("mniProjectOptions");
        QCOMPARE(messages.texts(), std::vector<std::string>{kSmallToolbarWarning});
        QCOMPARE(fonts, (QStringList{"Arial,10,0,BOLD",
                                     "(Right-click to set as default)\nCurrent Font : "
                                     "Name=Arial, Size=10, Style=Bold",
                                     "DEFAULT_FONT,10,0,BOLD",
                                     "(Right-click to set as default)\nCurrent Font : "
                                     "Default Font"}));
        const QByteArray written = readAll(f.project);
        QVERIFY(written.contains("UseSmallTBar=0"));
        QVERIFY(written.contains("NavFontName=DEFAULT_FONT"));
        QVERIFY(!readAll(f.dir.filePath("sample/sample.hhp")).contains("Default Font="));
    }

    void pickersKeepFilesInsideTheProject() {
        WindowFixture f;
        f.window->openProjectFile(f.project);
        const QString root = QString::fromStdString(f.window->session().projectDir());
        answerDialog([&](TfrmOptions* d) {
            click(d, "chkUsePrevNextImages");
            dialogs.answers = {{f.dir.filePath("next.gif")}, {root + "images/next.gif"}};
            click(d, "btnNextPageImage");
            QCOMPARE(messages.texts(),
                     std::vector<std::string>{
                         "Please select an Image in the same directory,\r\n"
                         "or a sub-directory of the Project. (i.e. in a Relative Path)."});
            QCOMPARE(child<QLineEdit>(d, "edNextPageImage")->text(), QString());
            click(d, "btnNextPageImage");
            QCOMPARE(child<QLineEdit>(d, "edNextPageImage")->text(), QString("images/next.gif"));
            QCOMPARE(dialogs.requests[0].title, QString("Select Graphic For 'Next Page' Link"));
            QCOMPARE(dialogs.requests[0].folder, root);

            messages.clear();
            const QString topic = child<QComboBox>(d, "cmbDefaultPage")->itemText(0);
            dialogs.answers = {{root + "extra.htm", root + "images/a.gif", root + topic,
                                f.dir.filePath("outside.htm"), root + "late.htm"}};
            click(d, "btnAdd");
            QCOMPARE(dialogs.requests.back().title, QString("Choose Additional Files to Add"));
            QCOMPARE(messages.texts(),
                     (std::vector<std::string>{"The file: '" + topic.toStdString() +
                                                   "' is already in the project.",
                                               "Error: Files must be in the same directory\r\n"
                                               "or a sub-directory as the Project file."}));
            auto* list = child<QListWidget>(d, "lstAdditionalFiles");
            QCOMPARE(list->count(), 4);
            QCOMPARE(list->item(3)->text(), QString("images/a.gif"));
            auto* pages = child<QComboBox>(d, "cmbHomeBtnPage");
            QVERIFY(pages->findText("extra.htm") >= 0);
            QVERIFY(pages->findText("images/a.gif") < 0);
            list->setCurrentRow(2);
            click(d, "btnDelete");
            QCOMPARE(list->currentRow(), 1);
            QVERIFY(pages->findText("extra.htm") < 0);
            click(d, "btnOK");
        });
        f.trigger("mniProjectOptions");
        QCOMPARE(f.window->session().settings().additionalFiles,
                 (std::vector<std::string>{"TxPopups.js", "images/fxrun.png", "images/a.gif"}));
        QCOMPARE(f.window->session().settings().nextPageImage, std::string("images/next.gif"));
    }

    void environmentPagesSeparatorAndPrograms() {
        WindowFixture f;
        QStringList captions;
        answerDialog([&](TfrmOptions* d) {
            captions = tabCaptions(*d);
            QCOMPARE(d->windowTitle(), QString("Environment Options"));
            QCOMPARE(d->currentHelpPage(), QString("env_preferences_tab.htm"));
            QCOMPARE(child<QLineEdit>(d, "edReplaceTitleText")->maxLength(), 15);
            click(d, "chkUseHorzTuleTag");
            QCOMPARE(child<QLineEdit>(d, "edTopicSeparator")->text(), QString("<HR>"));
            QVERIFY(!child<QLineEdit>(d, "edTopicSeparator")->isEnabled());
            click(d, "chkUseHorzTuleTag");
            auto* separator = child<QLineEdit>(d, "edTopicSeparator");
            separator->setText(" ");
            emit separator->editingFinished();
            QVERIFY(child(d, "chkUseHorzTuleTag")->isChecked());

            dialogs.answers = {{"/opt/tools/hhc.exe"}, {"/opt/tools/HHW.EXE"}};
            click(d, "btnHHWorkShopPath");
            QCOMPARE(messages.texts(),
                     std::vector<std::string>{
                         "Please Select the File 'hhw.exe' in the 'HTML Help Workshop' "
                         "Folder.\r\n(Usually C:\\Program Files\\HTML Workshop)."});
            QCOMPARE(messages.shown[0].kind, MessageKind::Error);
            QCOMPARE(child<QLineEdit>(d, "edHHWorkShopPath")->text(), QString());
            click(d, "btnHHWorkShopPath");
            QCOMPARE(child<QLineEdit>(d, "edHHWorkShopPath")->text(),
                     QString("/opt/tools/HHW.EXE"));
            QCOMPARE(dialogs.requests[0].title, QString("Select 'HTML Workshop' Program File"));
            auto* workshop = child<QLineEdit>(d, "edHHWorkShopPath");
            QCOMPARE(workshop->toolTip(), QString("/opt/tools/HHW.EXE"));
            workshop->findChild<QAction*>("mniClearPath")->trigger();
            QCOMPARE(workshop->text(), QString());
            QCOMPARE(d->environmentOptions().hhWorkShopPath, std::string());
            click(d, "chkShowGraphics");
            d->reject();
        });
        f.trigger("mniEnviromentOptions");
        QCOMPARE(captions, (QStringList{"Preferences", "Editor", "Separator/Paths"}));
        QVERIFY2(!QFileInfo::exists(f.config), "Cancel writes nothing");

        answerDialog([](TfrmOptions* d) {
            click(d, "chkUseHorzTuleTag");
            click(d, "chkShowGraphics");
            click(d, "btnOK");
        });
        f.trigger("mniEnviromentOptions");
        QCOMPARE(sectionKeys(f.config, "ENVIRONMENT_PROPERTIES"),
                 (QStringList{"DefaultBgColour",  "DefaultTopicIcon", "ReplaceTitleText",
                              "ReplaceBgImgText", "ReplaceColorText", "CenterTextInList",
                              "ShowGraphics",     "AddFilePrefix",    "DisableRightClick",
                              "RemovePRETags",    "ReplaceQuotes",    "SearchForPopups",
                              "SearchForEffects", "AutoSaveProj",     "AutoReloadProj",
                              "AsyncEditing",     "AutoLaunchSFX",    "AutoLaunchTFL",
                              "BackupsChapters",  "LCaseTopicFN",     "AutoRecalcTopicFN",
                              "TopicSeparator",   "UseHorzTuleTag",   "HTMLBrowserPath",
                              "HTMLEditorPath",   "WYSIWYGEdPath",    "HHWorkShopPath"}));
        const EnvironmentSettings& env = f.window->session().environment();
        QCOMPARE(env.topicSeparator, std::string("<HR>"));
        QVERIFY(!env.showGraphics);
        QVERIFY(f.window->grid().showGrid()); // the table is redrawn without graphics
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "options_dialog_test.moc"
