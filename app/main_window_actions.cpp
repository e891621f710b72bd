// Menus, toolbar and tray icon of the main window: captions, keys, hints and handlers.
#include "app/main_window.h"

#include "app/toolbar_icons.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>

namespace qw {

namespace {

struct ToolButtonEntry {
    const char* name;
    const char* hint; // tooltip | status text
    void (TfrmVIRedivuv::*handler)();
};

} // namespace

QAction* TfrmVIRedivuv::addAction(const char* name, const char* caption, const char* hint,
                                  void (TfrmVIRedivuv::*handler)()) {
    auto* item = new QAction(QString::fromUtf8(caption), this);
    item->setObjectName(name);
    const QString text = QString::fromUtf8(hint);
    const qsizetype bar = text.indexOf('|');
    item->setToolTip(MessageRoutine::displayText((bar < 0 ? text : text.left(bar)).toStdString()));
    item->setStatusTip(bar < 0 ? text : text.mid(bar + 1));
    if (handler)
        connect(item, &QAction::triggered, this,
                [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    m_actions.insert(name, item);
    return item;
}

void TfrmVIRedivuv::createActions() {
    using W = TfrmVIRedivuv;
    addAction("mniNew", "&New Project", "Create New Project (Bypass's Wizard)", &W::mniNewClick)
        ->setShortcut(QKeySequence("Ctrl+N"));
    addAction("mniNewPrjWizard", "New Project &Wizard...", "Start New Project Wizard",
              &W::mniNewPrjWizardClick)
        ->setShortcut(QKeySequence("Ctrl+W"));
    addAction("mniOpen", "&Open Project...", "Open Existing Project", &W::mniOpenClick)
        ->setShortcut(QKeySequence("Ctrl+O"));
    addAction("mniSave", "&Save Project", "Save Project & Changes To Chapter HTML Files",
              &W::mniSaveClick)
        ->setShortcut(QKeySequence("Ctrl+S"));
    addAction("mniReloadProject", "&Reload Project", "Reload Project|Reloads The Current Project",
              &W::mniReloadProjectClick);
    addAction("mniSaveHTMLHelpFileAs", "Save &HTMLHelp eDocument As...",
              "Save Created HTMLHelp eDocument To Floppy Disk Or Another Directory",
              &W::mniSaveHTMLHelpFileAsClick);
    static const char* const recentHints[] = {"Last Opened Project", "Second-Last Opened Project",
                                              "Third-Last Opened Project",
                                              "Fourth-Last Opened Project"};
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "mniMRU" + QByteArray::number(i);
        QAction* item = addAction(name.constData(), kNoneRecent, recentHints[i], nullptr);
        connect(item, &QAction::triggered, this,
                [this, i] { runCommand([this, i] { mniMRU1Click(i); }); });
    }
    addAction("mniExit", "E&xit", "Exit HTMLHelp Quirewright (Goodbye)", &W::mniExitClick);

    addAction("mniMoveDeleteChapters", "&Move / Delete Chapters...",
              "Move or Delete Complete Chapters", &W::mniMoveDeleteChaptersClick);
    addAction("mniDeleteSelectedTopic", "&Delete Selected Topic/Chapter",
              "Delete Topic/Chapter|Deletes The Selected Topic Or Chapter From The Project",
              &W::mniDeleteSelectedTopicClick);
    addAction("mniRecalcTopicFilenames", "Recalculate Topic Filenames",
              "Recalculate Topic Filenames Using Prefix & Topic Title",
              &W::mniRecalcTopicFilenamesClick);

    addAction("mniAddFiles", "&Add HTML Chapter File(s)...",
              "Add One Or More HTML Chapter Files To The Project", &W::mniAddFilesClick)
        ->setShortcut(QKeySequence(Qt::Key_F7));
    addAction("mniNewChapter", "Insert &New Chapter...",
              "Insert New Chapter|Inserts New Chapter After The Currently Selected Chapter",
              &W::mniNewChapterClick);
    addAction("mniNewTopic", "Insert New &Topic...",
              "Insert New Topic|Inserts New Topic After The Currently Selected Topic",
              &W::mniNewTopicClick);
    addAction("mniCompile", "&Create HTMLHelp eDocument...", "Create & View HTMLHelp eDocument",
              &W::mniCompileClick)
        ->setShortcut(QKeySequence(Qt::Key_F8));
    addAction("mniCreateDOVAZaze", "Create &DOVAZaze eDocument...",
              "Configure, Create & View DOVAZaze eDocument", &W::mniCreateDOVAZazeClick)
        ->setShortcut(QKeySequence(Qt::Key_F9));
    addAction("mniCreateTopicFileList", "Create Topic &Filenames List", "",
              &W::mniCreateTopicFileListClick);
    addAction("mniPrint", "&Print", "Print The Outline Of Chapters And Topic Filenames",
              &W::mniPrintClick);

    addAction("mniViewInBrowser", "View In &Browser/HTMLHelp",
              "View Selected Chapter In Web Browser Or Preview Selected Topic in HTMLHelp Format",
              &W::mniViewInBrowserClick)
        ->setShortcut(QKeySequence(Qt::Key_F5));
    addAction("mniViewInHTMLEd", "View In &HTML Editor",
              "View and/or Edit Selected Chapter In HTML Source Editor", &W::mniViewInHTMLEdClick);
    addAction("mniViewInWYSIWYGEd", "View In &WYSIWYG Editor",
              "View and/or Edit Selected Chapter In HTML WYSIWYG Editor",
              &W::mniViewInWYSIWYGEdClick);
    addAction("mniViewCHM", "View HTMLHelp eDocument", "View Last Created HTMLHelp eDocument",
              &W::mniViewCHMClick);
    addAction("mniViewLog", "View HTMLHelp Creation &Log", "View HTMLHelp Compiler Log File",
              &W::mniViewLogClick);
    addAction("mniViewDOVAZaze", "View HTML&Tree eDocument",
              "View Last Created DOVAZaze eDocument in Browser", &W::mniViewDOVAZazeClick);

    addAction("mniProjectOptions", "&Project Options...",
              "Configure Options For HTMLHelp eDocument", &W::mniProjectOptionsClick);
    addAction("mniEnviromentOptions", "&Environment Options...",
              "Configure Options For The Quirewright Environment", &W::mniEnviromentOptionsClick);

    struct Tool {
        const char* name;
        const char* caption;
        const char* command;
        const char* status;
    };
    static const Tool tools[] = {
        {"PopupTextEditor1", "&Popup Text Editor", "qwrtools.exe", "Start The Popup Text Editor"},
        {"SFXToolbar1", "&SFX Toolbar", "qwrtools.exe SFX", "Start The SFX Toolbar"},
        {"TFLToolbar1", "&TFL Toolbar", "qwrtools.exe TFL", "Start The TFL Toolbar"},
    };
    for (const Tool& tool : tools) {
        const QString hint = QString(tool.command) + "|" + tool.status;
        QAction* item = addAction(tool.name, tool.caption, hint.toUtf8().constData(), nullptr);
        const QStringList arguments = QString(tool.command).split(' ').mid(1);
        connect(item, &QAction::triggered, this,
                [this, arguments] { runCommand([this, arguments] { toolsClick(arguments); }); });
    }

    QAction* hh = addAction("mniQuireWHelp", "&HTMLHelp Quirewright Help (HTMLHelp Format)", "",
                            &W::mniQuireWHelpClick);
    QAction* html = addAction("mniQuireWHelpHTML", "&HTMLHelp Quirewright Help (DOVAZaze Format)",
                              "", &W::mniQuireWHelpHTMLClick);
    hh->setCheckable(true);
    html->setCheckable(true);
    struct Workshop {
        const char* name;
        const char* caption;
        const char* file;
        bool visible;
    };
    static const Workshop workshop[] = {
        {"mniUsingHTMLHelp", "&Using HTMLHelp eDocuments", "Htmhlp98.chm", true},
        {"mniHTMLTagReference", "HTML &Tag Reference", "htmlref.chm", true},
        {"mniHTMLWorkshopHelp", "HTML Help &Workshop Help", "htmlhelp.chm", false},
        {"mniHHActiveXReference", "HTML Help &ActiveX Reference", "hhaxref.chm", false},
    };
    for (const Workshop& item : workshop) {
        QAction* entry = addAction(item.name, item.caption, "", nullptr);
        entry->setVisible(item.visible);
        const QString file = item.file;
        connect(entry, &QAction::triggered, this,
                [this, file] { runCommand([this, file] { workshopHelp(file); }); });
    }
    addAction("mniAboutQuireW", "&About HTMLHelp Quirewright...", "", &W::mniAboutQuireWClick);
    addAction("puiClearMRUList1", "&Clear MRU File List", "", &W::mniClearMRUClick);
    addAction("puiReloadProject", "Reload &Project", "", &W::mniReloadProjectClick);
    addAction("puiCloseQuireW", "&Close HTMLHelp Quirewright", "", &W::mniExitClick);
}

void TfrmVIRedivuv::createMenus() {
    m_fileMenu = menuBar()->addMenu("&File");
    m_fileMenu->setObjectName("mnuFile");
    for (const char* name : {"mniNew", "mniNewPrjWizard", "mniOpen", "mniSave", "mniReloadProject",
                             "mniSaveHTMLHelpFileAs"})
        m_fileMenu->addAction(action(name));
    QAction* line1 = m_fileMenu->addSeparator();
    line1->setObjectName("mniLine1");
    m_actions.insert("mniLine1", line1);
    for (const char* name : {"mniMRU0", "mniMRU1", "mniMRU2", "mniMRU3"})
        m_fileMenu->addAction(action(name));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(action("mniExit"));
    connect(m_fileMenu, &QMenu::aboutToShow, this, &TfrmVIRedivuv::updateRecentMenu);

    const auto addMenu = [this](const char* name, const char* caption,
                                std::initializer_list<const char*> items) {
        QMenu* menu = menuBar()->addMenu(caption);
        menu->setObjectName(name);
        for (const char* item : items) {
            if (item == nullptr)
                menu->addSeparator();
            else
                menu->addAction(action(item));
        }
    };
    addMenu(
        "mnuEdit", "&Edit",
        {"mniMoveDeleteChapters", "mniDeleteSelectedTopic", nullptr, "mniRecalcTopicFilenames"});
    addMenu("mnuProject", "&Project",
            {"mniAddFiles", "mniNewChapter", "mniNewTopic", nullptr, "mniCompile",
             "mniCreateDOVAZaze", nullptr, "mniCreateTopicFileList", "mniPrint"});
    addMenu("mnuView", "&View",
            {"mniViewInBrowser", "mniViewInHTMLEd", "mniViewInWYSIWYGEd", nullptr, "mniViewCHM",
             "mniViewLog", "mniViewDOVAZaze"});
    addMenu("mnuOptions", "&Options", {"mniProjectOptions", "mniEnviromentOptions"});
    addMenu("mnuTools", "&Tools", {"PopupTextEditor1", "SFXToolbar1", "TFLToolbar1"});
    addMenu("mnuHelp", "&Help",
            {"mniQuireWHelp", "mniQuireWHelpHTML", nullptr, "mniUsingHTMLHelp",
             "mniHTMLTagReference", "mniHTMLWorkshopHelp", "mniHHActiveXReference", nullptr,
             "mniAboutQuireW"});

    m_recentPopup = new QMenu(this);
    m_recentPopup->setObjectName("pumMRUFiles");
    for (int i = 0; i < 4; ++i) {
        QAction* item = m_recentPopup->addAction(kNoneRecent);
        item->setObjectName(QString("puiMRU%1").arg(i));
        m_actions.insert(item->objectName(), item);
        connect(item, &QAction::triggered, this,
                [this, i] { runCommand([this, i] { mniMRU1Click(i); }); });
    }
    m_recentPopup->addSeparator();
    m_recentPopup->addAction(action("puiClearMRUList1"));
}

void TfrmVIRedivuv::createToolBar() {
    using W = TfrmVIRedivuv;
    static const ToolButtonEntry groups[8][4] = {
        {{"iebtnNew", "New Project|Starts New Project Wizard (Right-Click to Bypass Wizard)",
          &W::mniNewPrjWizardClick},
         {"iebtnOpenPrj", "Open Project|Open Existing Project (Right-Click For MRU File List)",
          &W::mniOpenClick},
         {"iebtnSavePrj", "Save Project|Save Project & Changes To Chapter HTML Files",
          &W::mniSaveClick},
         {"iebtnReloadProject", "Reload Project|Reloads The Current Project",
          &W::mniReloadProjectClick}},
        {{"iebtnAddFiles",
          "Add HTML Chapter File(s)|Add One Or More Chapter HTML Files To The Project",
          &W::mniAddFilesClick},
         {"iebtnNewChapter",
          "Insert New Chapter|Inserts New Chapter After The Currently Selected Chapter",
          &W::mniNewChapterClick},
         {"iebtnNewTopic", "Insert New Topic|Inserts New Topic After The Currently Selected Topic",
          &W::mniNewTopicClick}},
        {{"iebtnMoveDeleteChapters", "Move/Delete Chapters|Move or Delete Complete Chapters",
          &W::mniMoveDeleteChaptersClick},
         {"iebtnDeleteTopic",
          "Delete Topic/Chapter|Deletes The Selected Topic Or Chapter From The Project",
          &W::mniDeleteSelectedTopicClick}},
        {{"iebtnCompileHHFile", "Create HTMLHelp eDocument|Create & View HTMLHelp eDocument",
          &W::mniCompileClick},
         {"iebtnCreateDOVAZaze",
          "Create DOVAZaze eDocument|Configure, Create & View DOVAZaze eDocument",
          &W::mniCreateDOVAZazeClick}},
        {{"iebtnProjectOptions", "Project Options|Configure Options For HTMLHelp eDocument",
          &W::mniProjectOptionsClick},
         {"iebtnEnviromentOptions",
          "Environment Options|Configure Options For The Quirewright Environment",
          &W::mniEnviromentOptionsClick}},
        {{"iebtnViewInBrowser",
          "View Chapter In Browser or\r\nPreview Topic In HTMLHelp Format|View Selected Chapter In "
          "Web Browser Or Preview Selected Topic in HTMLHelp Format",
          nullptr},
         {"iebtnViewInHTMLEd",
          "View/Edit In HTML Editor|View and/or Edit Selected Chapter In HTML Source Editor",
          &W::mniViewInHTMLEdClick},
         {"iebtnViewInWysiwyg",
          "View/Edit In WYSIWYG Editor|View and/or Edit Selected Chapter In HTML WYSIWYG Editor",
          &W::mniViewInWYSIWYGEdClick}},
        {{"iebtnViewCHM", "View HTMLHelp eDocument|View Last Created HTMLHelp eDocument",
          &W::mniViewCHMClick},
         {"iebtnViewLog", "View HTMLHelp Creation Log|View HTMLHelp Creation Log",
          &W::mniViewLogClick},
         {"iebtnViewDOVAZaze",
          "View DOVAZaze eDocument|View Last Created DOVAZaze eDocument in Browser",
          &W::mniViewDOVAZazeClick}},
        {{"iebtnHelp", "HTMLHelp Quirewright Help|HTMLHelp Quirewright Help", &W::iebtnHelpClick}},
    };
    m_toolBar = addToolBar("Toolbar");
    m_toolBar->setObjectName("pnlToolBar");
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    for (const auto& group : groups) {
        if (!m_toolBar->actions().isEmpty())
            m_toolBar->addSeparator();
        for (const ToolButtonEntry& button : group) {
            if (button.name == nullptr)
                break;
            QAction* item = addAction(button.name, "", button.hint, button.handler);
            item->setText(item->toolTip());
            item->setIcon(toolbarIcon(button.name));
            m_toolBar->addAction(item);
        }
    }
    // Right-button presses and the release-driven View button are seen on the buttons.
    for (const char* name : {"iebtnNew", "iebtnOpenPrj", "iebtnViewInBrowser"}) {
        QWidget* button = m_toolBar->widgetForAction(action(name));
        button->setObjectName(name);
        button->installEventFilter(this);
    }
}

void TfrmVIRedivuv::createTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip("HTMLHelp Quirewright");
    auto* menu = new QMenu(this);
    menu->setObjectName("pumSysTrayIcon");
    menu->addAction(action("puiReloadProject"));
    menu->addSeparator();
    menu->addAction(action("puiCloseQuireW"));
    m_tray->setContextMenu(menu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
                    return;
                showNormal();
                raise();
                activateWindow();
            });
    m_tray->show();
}

} // namespace qw
