#include "tools/popup_text_editor.h"

#include "core/ini_file.h"
#include "tools/field_filter.h"
#include "tools/tool_messages.h"
#include "tools/toolbar_glyphs.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolBar>

namespace qw {

namespace {

/// Editors of the table: the reference column admits letters, digits and "_"; every
/// admitted key marks the file modified.
class PopupCellDelegate : public QStyledItemDelegate {
public:
    PopupCellDelegate(std::function<void()> edited, QObject* parent)
        : QStyledItemDelegate(parent), m_edited(std::move(edited)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            FieldFilter::install(line, index.column() == 0 ? FieldKeys::Reference : FieldKeys::Any);
            connect(line, &QLineEdit::textEdited, line, [edited = m_edited] { edited(); });
        }
        return editor;
    }

private:
    std::function<void()> m_edited;
};

QFont toQFont(const PopupFont& font) {
    QFont qfont(QString::fromStdString(font.name), font.size);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    return qfont;
}

PopupFont fromQFont(const QFont& qfont) {
    PopupFont font;
    font.name = qfont.family().toStdString();
    font.size = qfont.pointSize() > 0 ? qfont.pointSize() : 10;
    font.bold = qfont.bold();
    font.italic = qfont.italic();
    return font;
}

} // namespace

TfrmPopupTextEd::TfrmPopupTextEd(ToolEnvironment environment, ToolMessages& messages,
                                 QWidget* parent)
    : QMainWindow(parent), m_environment(std::move(environment)), m_messages(messages),
      m_table(new QTableWidget(kEntryRows, 2, this)) {
    setObjectName("TfrmPopupTextEd");
    m_table->setObjectName("sgrdPopups");
    m_table->setHorizontalHeaderLabels({" Popup Reference", " Popup Text"});
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_table->setItemDelegate(new PopupCellDelegate([this] { setModified(true); }, this));
    setCentralWidget(m_table);
    statusBar()->setObjectName("stbHints");
    createActions();

    const PopupEditorSettings settings = readPopupEditorSettings(
        IniFile(m_environment.configFile, IniFile::Unreadable::UseDefaults));
    move(settings.left, settings.top);
    resize(settings.width, settings.height);
    m_table->setColumnWidth(0, settings.referenceColumnWidth);
    m_table->setColumnWidth(1, settings.textColumnWidth);
    clearTable();
    setModified(false);
    updateCaption();
}

void TfrmPopupTextEd::createActions() {
    auto action = [this](const QString& name, const QString& caption, const QString& hint,
                         auto slot) {
        QAction* a = new QAction(caption, this);
        a->setObjectName(name);
        const int bar = int(hint.indexOf('|'));
        a->setToolTip(bar < 0 ? hint : hint.left(bar));
        a->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1)); // the long hint
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QAction* newFile =
        action("mniNew", "&New", "New|Creates New Popup Text File", &TfrmPopupTextEd::mniNewClick);
    QAction* open = action("mniOpen", "&Open", "Open|Opens Existing Popup Text File",
                           &TfrmPopupTextEd::mniOpenClick);
    m_save = action("mniSave", "&Save", "Save|Saves Current Popup Text File",
                    [this] { mniSaveClick(); });
    m_fontAction =
        action("mniFont", "Fo&nt", "Font|Sets Font For Popup Text", &TfrmPopupTextEd::mniFontClick);
    QAction* exit = action("mniExit", "E&xit", "Exit", &QWidget::close);
    QMenu* file = menuBar()->addMenu("&File");
    file->addActions({newFile, open, m_save});
    file->addSeparator();
    file->addAction(exit);
    menuBar()->addAction(m_fontAction);
    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&Popup Text Editor Help", this,
                    [this] { openContextHelp(m_environment, "put_overview.htm", m_messages); });
    help->addAction("&About", this, [this] {
        m_messages.show(ToolMessages::Kind::Information,
                        "- Popup Text Editor V1.1\r\n- Companion to HTMLHelp Quirewright");
    });
    QToolBar* tools = addToolBar("Tools");
    tools->setObjectName("tlbMain");
    newFile->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    m_save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    // The menu bar shows "Font" as text; the tool bar gives it a letter glyph of its own.
    tools->addActions({newFile, open, m_save});
    QAction* fontButton = tools->addAction(toolbarGlyph("font"), "Font");
    fontButton->setObjectName("tbtnFont");
    fontButton->setStatusTip(m_fontAction->statusTip());
    connect(fontButton, &QAction::triggered, m_fontAction, &QAction::trigger);
    connect(m_fontAction, &QAction::enabledChanged, fontButton, &QAction::setEnabled);
}

bool TfrmPopupTextEd::isModified() const {
    return m_save->isEnabled();
}

void TfrmPopupTextEd::setModified(bool modified) {
    m_save->setEnabled(modified);
}

void TfrmPopupTextEd::updateCaption() {
    setWindowTitle(m_path.isEmpty() ? QString("Popup Text Editor")
                                    : "Popup Text Editor - " + QFileInfo(m_path).fileName());
}

void TfrmPopupTextEd::clearTable() {
    const QSignalBlocker blocker(m_table);
    m_table->clearContents();
    m_table->setCurrentCell(0, 0);
}

bool TfrmPopupTextEd::savePrompt() {
    if (!isModified())
        return true;
    switch (m_messages.askYesNoCancel("Save changes to current file?")) {
    case ToolMessages::Answer::Yes:
        return mniSaveClick();
    case ToolMessages::Answer::No:
        return true;
    default:
        return false;
    }
}

void TfrmPopupTextEd::mniNewClick() {
    if (!savePrompt())
        return;
    m_path.clear();
    updateCaption();
    clearTable();
    setModified(false);
}

void TfrmPopupTextEd::mniOpenClick() {
    if (!savePrompt())
        return;
    const QString path = m_openDialog
                             ? m_openDialog()
                             : QFileDialog::getOpenFileName(this, "Open Popup Text File", QString(),
                                                            "Popup Text File (*.js)");
    if (!path.isEmpty())
        openFile(path);
}

void TfrmPopupTextEd::openFile(const QString& path) {
    PopupTextContent content;
    try {
        content = readPopupTextFile(path.toStdString());
    } catch (const std::exception& error) {
        m_messages.show(ToolMessages::Kind::Error, QString::fromUtf8(error.what()));
        return; // the table keeps its contents
    }
    clearTable();
    {
        const QSignalBlocker blocker(m_table);
        const size_t rows = std::min(content.entries.size(), size_t(kEntryRows));
        for (size_t i = 0; i < rows; ++i) {
            m_table->setItem(
                int(i), 0,
                new QTableWidgetItem(QString::fromStdString(content.entries[i].reference)));
            m_table->setItem(int(i), 1,
                             new QTableWidgetItem(QString::fromStdString(content.entries[i].text)));
        }
    }
    if (content.font)
        m_font = *content.font;
    if (!content.error.empty())
        m_messages.show(ToolMessages::Kind::Error, QString::fromStdString(content.error));
    m_path = path;
    updateCaption();
    m_table->setEnabled(true);
    setModified(false);
    m_fontAction->setEnabled(true);
}

std::vector<PopupEntry> TfrmPopupTextEd::entries() const {
    std::vector<PopupEntry> rows;
    for (int row = 0; row < kEntryRows; ++row) {
        auto cell = [this, row](int column) {
            const QTableWidgetItem* item = m_table->item(row, column);
            return item ? item->text().toStdString() : std::string();
        };
        rows.push_back({cell(0), cell(1)});
    }
    return rows;
}

bool TfrmPopupTextEd::mniSaveClick() {
    // Leaving the current cell commits an edit still open in it.
    const QModelIndex current = m_table->currentIndex();
    m_table->setCurrentIndex(QModelIndex());
    m_table->setCurrentIndex(current);
    QString path = m_path;
    if (path.isEmpty()) {
        // A new name is accepted (an existing one is confirmed by the dialog).
        path = m_saveDialog ? m_saveDialog()
                            : QFileDialog::getSaveFileName(this, "Save Popup Text File", QString(),
                                                           "Popup Text File (*.js)");
        if (path.isEmpty())
            return false;
        if (QFileInfo(path).suffix().isEmpty())
            path += ".js";
    }
    try {
        writePopupTextFile(path.toStdString(), m_font, entries());
    } catch (const std::exception& error) {
        m_messages.show(ToolMessages::Kind::Error, QString::fromUtf8(error.what()));
        return false;
    }
    m_path = path;
    updateCaption();
    setModified(false);
    return true;
}

void TfrmPopupTextEd::mniFontClick() {
    std::optional<PopupFont> chosen;
    if (m_fontDialog) {
        chosen = m_fontDialog(m_font);
    } else {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, toQFont(m_font), this);
        if (ok)
            chosen = fromQFont(font);
    }
    if (!chosen)
        return;
    m_font = *chosen;
    setModified(true);
}

void TfrmPopupTextEd::closeEvent(QCloseEvent* event) {
    const bool closing = savePrompt();
    PopupEditorSettings settings;
    settings.left = x();
    settings.top = y();
    settings.width = width();
    settings.height = height();
    settings.referenceColumnWidth = m_table->columnWidth(0);
    settings.textColumnWidth = m_table->columnWidth(1);
    IniFile config(m_environment.configFile, IniFile::Unreadable::UseDefaults);
    try {
        writePopupEditorSettings(config, settings);
    } catch (const std::exception& error) {
        m_messages.show(ToolMessages::Kind::Error, QString::fromUtf8(error.what()));
    }
    if (closing)
        event->accept();
    else
        event->ignore();
}

} // namespace qw
