#include "tools/tfl_toolbar.h"

#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/tool_settings.h"
#include "tools/tool_messages.h"
#include "tools/toolbar_glyphs.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QStandardItemModel>
#include <QToolButton>

namespace qw {

TfrmTflToolbar::TfrmTflToolbar(ToolEnvironment environment, ToolMessages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_environment(std::move(environment)), m_messages(messages), m_list(new QComboBox(this)),
      m_moveButton(new QToolButton(this)), m_menuButton(new QToolButton(this)),
      m_menu(new QMenu(this)), m_recentMenu(new QMenu("&Open List", this)) {
    setObjectName("TfrmTflToolbar");
    setWindowTitle("TFL Toolbar");
    const QScreen* screen = QApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1024;
    m_settings = readTflToolbarSettings(
        IniFile(m_environment.configFile, IniFile::Unreadable::UseDefaults), screenWidth);
    m_list->setObjectName("cboTopicFiles");
    m_list->setMaxVisibleItems(std::max(1, m_settings.listSize));
    connect(m_list, &QComboBox::activated, this, &TfrmTflToolbar::chooseLine);
    // Clicking the list while no list is open asks for one at once.
    m_list->installEventFilter(this);
    for (QToolButton* button : {m_moveButton, m_menuButton}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(true);
        button->setFixedSize(10, 10);
    }
    m_moveButton->setObjectName("sbtnMove");
    m_moveButton->setToolTip("Move");
    m_moveButton->setIcon(toolbarGlyph("move", 8));
    m_moveButton->installEventFilter(this);
    m_menuButton->setObjectName("sbtnMenu");
    m_menuButton->setToolTip("Menu");
    m_menuButton->setIcon(toolbarGlyph("menu", 8));
    connect(m_menuButton, &QToolButton::clicked, this, [this] {
        const int screenWidth = this->screen() ? this->screen()->geometry().right() + 1 : 0;
        const int x =
            menuAnchorX(pos().x(), m_menuButton->x(), m_menuButton->height(), screenWidth);
        m_menu->popup(mapToGlobal(QPoint(x, m_menuButton->geometry().bottom() + 1)));
    });
    buildMenu();
    setMinimumSize(kMinWidth, kHeight);
    setMaximumSize(kMaxWidth, kHeight);
    resize(std::clamp(m_settings.width, kMinWidth, kMaxWidth), kHeight);
    showLines();
}

void TfrmTflToolbar::buildMenu() {
    m_menu->setObjectName("pmnuTfl");
    m_recentMenu->addAction("&Open Topic Filename List", this, &TfrmTflToolbar::mniOpenListClick);
    m_recentMenu->addSeparator();
    for (int i = 0; i < 4; ++i) {
        QAction* recent = m_recentMenu->addAction(QString());
        connect(recent, &QAction::triggered, this, [this, recent] { loadList(recent->text()); });
    }
    connect(m_recentMenu, &QMenu::aboutToShow, this, &TfrmTflToolbar::refreshRecentLists);
    refreshRecentLists();
    m_menu->addMenu(m_recentMenu);
    m_menu->addAction("&Set List Size", this, &TfrmTflToolbar::mniSetListSizeClick);
    m_hideAction =
        m_menu->addAction("&Hide Chapter Titles", this, &TfrmTflToolbar::mniHideChapterTitlesClick);
    m_hideAction->setEnabled(false);
    m_menu->addSeparator();
    m_menu->addAction("&Help", this,
                      [this] { openContextHelp(m_environment, "tfl_overview.htm", m_messages); });
    m_menu->addAction("&About", this, [this] {
        m_messages.show(ToolMessages::Kind::Information,
                        "- Topic Filenames List Toolbar V1.1\r\n- Companion to HTMLHelp "
                        "Quirewright.");
    });
    m_menu->addAction("E&xit", this, &QWidget::close);
}

void TfrmTflToolbar::refreshRecentLists() {
    // The main program may have opened other projects since: read the list afresh.
    const auto lists =
        recentTopicLists(IniFile(m_environment.configFile, IniFile::Unreadable::UseDefaults));
    const QList<QAction*> actions = m_recentMenu->actions();
    for (int i = 0; i < 4; ++i) {
        QAction* action = actions.at(2 + i);
        action->setText(QString::fromStdString(lists[size_t(i)]));
        action->setVisible(!lists[size_t(i)].empty());
    }
}

void TfrmTflToolbar::showLines() {
    m_list->clear();
    auto* model = qobject_cast<QStandardItemModel*>(m_list->model());
    for (const std::string& line : m_choices.lines()) {
        auto* item = new QStandardItem(QString::fromStdString(line));
        QFont font = m_list->font();
        if (model->rowCount() == 0) {
            font.setBold(true);
            item->setForeground(Qt::red);
        } else if (isChapterTitleLine(line)) {
            font.setUnderline(true);
            item->setForeground(Qt::blue);
        }
        item->setFont(font);
        model->appendRow(item);
    }
    m_list->setCurrentIndex(0);
}

void TfrmTflToolbar::startUp(const QString& listFile) {
    move(m_settings.left, m_settings.top);
    show();
    const QFileInfo file(listFile);
    if (!listFile.isEmpty() && file.suffix().toUpper() == "TFL" && file.isFile())
        loadList(listFile);
}

void TfrmTflToolbar::loadList(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        m_messages.show(ToolMessages::Kind::Error,
                        "Error: File Does Not Exist Or Has Been Moved.\r\nPlease Recreate "
                        "Filename List From HTMLHelp Quirewright.");
        return;
    }
    try {
        m_choices.load(readLines(path.toStdString()));
    } catch (const std::exception& error) {
        m_messages.show(ToolMessages::Kind::Error, QString::fromUtf8(error.what()));
        return;
    }
    m_loadedPath = path;
    showLines();
    m_hideAction->setText("&Hide Chapter Titles");
    m_hideAction->setEnabled(true);
}

void TfrmTflToolbar::chooseLine(int index) {
    switch (m_choices.choose(size_t(std::max(0, index)))) {
    case TopicListChoices::Choice::OpenList:
        mniOpenListClick();
        return;
    case TopicListChoices::Choice::ChapterTitle:
        m_messages.show(ToolMessages::Kind::Information,
                        "Please Select A Topic Filename From \r\nThe List To Be Copied To The "
                        "Clipboard.");
        m_list->setCurrentIndex(0);
        return;
    case TopicListChoices::Choice::Nothing:
        return;
    case TopicListChoices::Choice::Copy:
        QApplication::clipboard()->setText(m_list->itemText(index));
        return;
    }
}

void TfrmTflToolbar::mniOpenListClick() {
    const QString file =
        m_openDialog ? m_openDialog()
                     : QFileDialog::getOpenFileName(this, "Please Select a Topic Filename List",
                                                    "TopicLst.tfl", "Topic Filename List (*.tfl)");
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().toUpper() != "TFL") {
        m_messages.show(ToolMessages::Kind::Error,
                        "File Opened must be a valid Topic Filename List.");
        return;
    }
    loadList(file);
}

void TfrmTflToolbar::mniSetListSizeClick() {
    std::optional<QString> answer;
    if (m_sizeDialog) {
        answer = m_sizeDialog(m_settings.listSize);
    } else {
        bool ok = false;
        const QString text = QInputDialog::getText(
            this, "Topic File List Size", "Please Enter Dropdown List Size (No. of Filenames).",
            QLineEdit::Normal, QString::number(m_settings.listSize), &ok);
        if (ok)
            answer = text;
    }
    bool isNumber = false;
    const int size = answer ? answer->trimmed().toInt(&isNumber) : 0;
    if (!isNumber || size < 1)
        return; // not a usable size: the old one stays
    m_settings.listSize = size;
    m_list->setMaxVisibleItems(size);
}

void TfrmTflToolbar::mniHideChapterTitlesClick() {
    if (m_choices.chapterTitlesHidden()) {
        loadList(m_loadedPath);
        return;
    }
    m_choices.setChapterTitlesHidden(true);
    showLines();
    m_hideAction->setText("&Show Chapter Titles");
}

void TfrmTflToolbar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int listWidth = width() - 12;
    m_list->setGeometry(0, 0, listWidth, kHeight - 4);
    m_moveButton->move(listWidth + 2, 2);
    m_menuButton->move(listWidth + 2, 14);
}

bool TfrmTflToolbar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::MouseButtonPress && !m_choices.isLoaded()) {
        mniOpenListClick();
        return true;
    }
    if (watched != m_moveButton)
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        m_pressPoint = mouse->position().toPoint();
        return true;
    }
    if (event->type() == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton)) {
        move(pos() + mouse->position().toPoint() - m_pressPoint);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmTflToolbar::closeEvent(QCloseEvent* event) {
    m_settings.left = x();
    m_settings.top = y();
    m_settings.width = width();
    IniFile config(m_environment.configFile, IniFile::Unreadable::UseDefaults);
    try {
        writeTflToolbarSettings(config, m_settings);
    } catch (const std::exception& error) {
        m_messages.show(ToolMessages::Kind::Error, QString::fromUtf8(error.what()));
    }
    event->accept();
}

} // namespace qw
