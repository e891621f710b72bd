#include "app/main_window.h"

#include "app/about_box.h"
#include "app/gui_build_host.h"
#include "app/gui_session_host.h"
#include "app/progress_window.h"
#include "app/splash_screen.h"
#include "app/toolbar_icons.h"
#include "app/topic_grid.h"
#include "app/wait_loop.h"
#include "core/file_io.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>

namespace qw {

namespace {

/// Enabled once a project exists, in both states.
const char* const kProjectCommands[] = {"iebtnAddFiles",       "mniAddFiles",
                                        "mniNewChapter",       "iebtnNewChapter",
                                        "iebtnProjectOptions", "mniProjectOptions"};
/// Enabled only while the project has chapters.
const char* const kChapterCommands[] = {"mniReloadProject",
                                        "iebtnReloadProject",
                                        "puiReloadProject",
                                        "mniNewTopic",
                                        "iebtnNewTopic",
                                        "mniCreateTopicFileList",
                                        "mniRecalcTopicFilenames",
                                        "iebtnViewDOVAZaze",
                                        "mniViewDOVAZaze",
                                        "mniSaveHTMLHelpFileAs",
                                        "iebtnCreateDOVAZaze",
                                        "mniCreateDOVAZaze",
                                        "iebtnMoveDeleteChapters",
                                        "mniMoveDeleteChapters",
                                        "iebtnDeleteTopic",
                                        "mniDeleteSelectedTopic",
                                        "iebtnCompileHHFile",
                                        "mniCompile",
                                        "iebtnViewInBrowser",
                                        "mniViewInBrowser",
                                        "iebtnViewInHTMLEd",
                                        "mniViewInHTMLEd",
                                        "iebtnViewInWysiwyg",
                                        "mniViewInWYSIWYGEd",
                                        "iebtnViewCHM",
                                        "mniViewCHM",
                                        "iebtnViewLog",
                                        "mniViewLog"};

constexpr int kSplashDelayMs = 1500;

} // namespace

TfrmVIRedivuv::TfrmVIRedivuv(const std::filesystem::path& dataDir,
                             const std::filesystem::path& configPath, QWidget* parent)
    : QMainWindow(parent), m_dataDir(dataDir), m_messages(this),
      m_progress(new TfrmProgress(m_messages, this)) {
    setObjectName("frmVIRedivuv");
    setWindowTitle("HTMLHelp Quirewright");
    setWindowIcon(applicationIcon());
    m_host = std::make_unique<GuiSessionHost>(m_messages, *m_progress);
    m_host->onCommandState = [this](CommandState state) { setCommandState(state); };
    m_host->onCaption = [this](const std::string& caption) {
        setWindowTitle(QString::fromStdString(caption));
    };
    m_host->onModified = [this](bool modified) { setSaveEnabled(modified); };
    m_host->onHelpProjectMissing = [this] { applyProjectOptionsSilently(); };
    m_session = std::make_unique<ProjectSession>(*m_host, dataDir, configPath);

    m_grid = new TopicGrid(*m_session, *this, this);
    m_grid->setObjectName("sgrdMain");
    setCentralWidget(m_grid);

    createActions();
    createMenus();
    createToolBar();
    createTray();

    m_hintPanel = new QLabel(this);
    m_hintPanel->setObjectName("pnlHint");
    m_hintPanel->setFixedWidth(490);
    m_countPanel = new QLabel(this);
    m_countPanel->setObjectName("pnlCounts");
    m_countPanel->setFixedWidth(150);
    for (QLabel* panel : {m_hintPanel, m_countPanel})
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    statusBar()->addWidget(m_hintPanel);
    statusBar()->addWidget(m_countPanel);
    statusBar()->setObjectName("stbMain");

    connect(m_grid, &TopicGrid::statusTextChanged, m_hintPanel, &QLabel::setText);
    const auto command = [this](void (TfrmVIRedivuv::*handler)()) {
        return [this, handler] { runCommand([this, handler] { (this->*handler)(); }); };
    };
    connect(m_grid, &TopicGrid::insertTopicRequested, this,
            command(&TfrmVIRedivuv::mniNewTopicClick));
    connect(m_grid, &TopicGrid::deleteTopicRequested, this,
            command(&TfrmVIRedivuv::mniDeleteSelectedTopicClick));
    connect(m_grid, &TopicGrid::insertChapterRequested, this,
            command(&TfrmVIRedivuv::mniNewChapterClick));
    connect(m_grid, &TopicGrid::deleteChapterRequested, this,
            command(&TfrmVIRedivuv::mniDeleteSelectedTopicClick));
    connect(m_grid, &TopicGrid::moveChaptersRequested, this,
            command(&TfrmVIRedivuv::mniMoveDeleteChaptersClick));
    connect(m_grid, &TopicGrid::keywordsEditorRequested, this,
            [this](int row) { runCommand([this, row] { editRelatedCell(row, true); }); });
    connect(m_grid, &TopicGrid::relatedTopicsEditorRequested, this,
            [this](int row) { runCommand([this, row] { editRelatedCell(row, false); }); });
    connect(m_grid, &TopicGrid::viewInWysiwygRequested, this,
            [this] { runCommand([this] { mniViewInWYSIWYGEdClick(); }); });
    connect(m_progress, &TfrmProgress::runShown, this, [this] { m_toolBar->setEnabled(false); });
    connect(m_progress, &TfrmProgress::runClosed, this, [this] { m_toolBar->setEnabled(true); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    applicationActivated();
                else if (state == Qt::ApplicationInactive)
                    applicationDeactivated();
            });

    const Configuration& config = m_session->configuration();
    const WindowSettings window = config.readWindow();
    resize(std::max(window.width, 400), std::max(window.height, 300));
    move(window.left, window.top);
    setHelpFormat(window.useHHhelp);
    m_grid->setColumnWidths(config.readColumnWidths().widths);
    setCommandState(CommandState::NoProject);
    setSaveEnabled(false);
    updateRecentMenu();
    updateCounts();

    m_splashTimer = new QTimer(this);
    m_splashTimer->setObjectName("TimerCloseSplash");
    m_splashTimer->setInterval(kSplashDelayMs);
    m_splashTimer->setSingleShot(true);
    connect(m_splashTimer, &QTimer::timeout, this, [this] {
        delete m_splash;
        m_splash = nullptr;
        if (!m_startArgument.isNull())
            runCommand([this] { openStartArgument(m_startArgument); });
    });
}

QAction* TfrmVIRedivuv::action(const QString& name) const {
    return m_actions.value(name);
}
QString TfrmVIRedivuv::hintPanelText() const {
    return m_hintPanel->text();
}
QString TfrmVIRedivuv::countPanelText() const {
    return m_countPanel->text();
}

void TfrmVIRedivuv::runCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        // The general error display: the command ends, the program goes on.
        QApplication::restoreOverrideCursor();
        m_messages.showError(error.what());
    }
    updateCounts();
}

void TfrmVIRedivuv::setCommandState(CommandState state) {
    const bool project = state != CommandState::NoProject;
    const bool chapters = state == CommandState::WithChapters;
    for (const char* name : kProjectCommands)
        action(name)->setEnabled(project);
    for (const char* name : kChapterCommands)
        action(name)->setEnabled(chapters);
    if (!project)
        setSaveEnabled(false);
}

void TfrmVIRedivuv::setSaveEnabled(bool enabled) {
    action("mniSave")->setEnabled(enabled);
    action("iebtnSavePrj")->setEnabled(enabled);
}

void TfrmVIRedivuv::updateCounts() {
    m_countPanel->setText(QString::fromStdString(m_session->table().statusText()));
}

void TfrmVIRedivuv::updateRecentMenu() {
    const auto& entries = m_session->recent().entries();
    for (int i = 0; i < 4; ++i) {
        const QString caption = QString::fromStdString(entries[size_t(i)]);
        const bool shown = caption != kEmptyRecent;
        for (const QString& name : {QString("mniMRU%1").arg(i), QString("puiMRU%1").arg(i)}) {
            QAction* item = action(name);
            item->setText(caption);
            item->setVisible(shown);
        }
    }
    action("mniLine1")->setVisible(action("mniMRU0")->isVisible());
}

QMenu* TfrmVIRedivuv::recentPopup() {
    updateRecentMenu();
    return m_recentPopup;
}

void TfrmVIRedivuv::setHelpFormat(bool useHHhelp) {
    QAction* hh = action("mniQuireWHelp");
    QAction* html = action("mniQuireWHelpHTML");
    hh->setChecked(useHHhelp);
    html->setChecked(!useHHhelp);
    hh->setShortcut(useHHhelp ? QKeySequence(Qt::Key_F1) : QKeySequence());
    html->setShortcut(useHHhelp ? QKeySequence() : QKeySequence(Qt::Key_F1));
}

void TfrmVIRedivuv::writeConfiguration() {
    const Configuration& config = m_session->configuration();
    WindowSettings window;
    const QRect placed = normalGeometry();
    window.left = placed.left();
    window.top = placed.top();
    window.width = placed.width();
    window.height = placed.height();
    window.useHHhelp = action("mniQuireWHelp")->isChecked();
    config.writeWindow(window);
    config.writeRecent(m_session->recent());
    ColumnWidths widths;
    widths.widths = m_grid->columnWidths();
    config.writeColumnWidths(widths);
}

void TfrmVIRedivuv::mniAboutQuireWClick() {
    showAboutBox(*this, m_dataDir);
}

} // namespace qw
