// Commands that change the shape of the project: inserting chapters and topics, and
// deleting topics and chapters.
#include "app/main_window.h"

#include "app/grid_icons.h"
#include "app/move_chapters_dialog.h"
#include "app/new_chapter_dialog.h"
#include "app/progress_window.h"
#include "app/topic_grid.h"
#include "app/topic_table_model.h"
#include "core/chapter_order.h"
#include "core/chapter_parser.h"
#include "core/chapter_template.h"
#include "core/file_names.h"
#include "core/structure_edit.h"

#include <QApplication>

namespace qw {

namespace {

/// Suspends the grid's repainting for the scope.
class RepaintPause {
public:
    explicit RepaintPause(QWidget& widget) : m_widget(widget) { m_widget.setUpdatesEnabled(false); }
    ~RepaintPause() { m_widget.setUpdatesEnabled(true); }
    RepaintPause(const RepaintPause&) = delete;
    RepaintPause& operator=(const RepaintPause&) = delete;

private:
    QWidget& m_widget;
};

} // namespace

bool TfrmVIRedivuv::insertRow(const std::string& title, const std::string& file, bool isChapter,
                              const std::string& chapterFile) {
    TopicTable& table = m_session->table();
    const size_t current = size_t(std::max(m_grid->currentRow(), 1));
    if (!isChapter && current >= table.endRow()) {
        beep();
        return false;
    }
    const std::filesystem::path templatePath = newTopicTemplatePath(m_session->dataDir());
    const size_t templateLines = ensureNewTopicTemplate(templatePath);
    const FileNameOptions names = FileNameOptions::from(m_session->environment());
    Row row = isChapter ? newChapterRow(title, m_session->projectDir() + file)
                        : newTopicRow(title, templatePath.string(), templateLines,
                                      m_session->environment().defaultTopicIcon, names);
    const size_t added = insertRowAfter(table, std::move(row), current);
    const int column = std::max(m_grid->currentColumn(), int(ColTitle));
    m_grid->selectCell(int(added), column);
    if (column == ColTitle)
        nameWhileTyping(table, added, insertPrefix(chapterFile), names);
    return true;
}

void TfrmVIRedivuv::mniNewChapterClick() {
    TopicTable& table = m_session->table();
    const bool hasChapters = table.endRow() > 1;
    int current = std::max(m_grid->currentRow(), 1);
    if (hasChapters && size_t(current) >= table.endRow()) {
        beep();
        return;
    }
    const QString projectDir = QString::fromStdString(m_session->projectDir());
    TfrmNewChapter dialog(projectDir, m_messages, this);
    connect(&dialog, &TfrmNewChapter::helpRequested, this, [this] {
        contextHelp("chp_adding_new_chapterstopics.htm", "fol_chpcreating_chapters.htm");
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    QCoreApplication::processEvents();
    const std::string file = dialog.chapterFileName().toStdString();
    const std::string path = m_session->projectDir() + file;
    if (table.isChapterPresent(path)) {
        m_messages.showMessage(
            "Error: Duplicate Filename.\r\nA Chapter With The Same Filename Already Exists.",
            MessageKind::Error, MessageButtons::Ok);
        return;
    }
    // The template and the file first: when either cannot be written, the table stays
    // as it was.
    ensureNewTopicTemplate(newTopicTemplatePath(m_session->dataDir()));
    writeNewChapterFile(table, path, m_session->environment());
    const std::string name = TopicTableModel::encodeCell(dialog.chapterName(), {});
    const int topics = dialog.numberOfTopics();
    {
        RepaintPause pause(*m_grid);
        if (hasChapters) {
            current = int(lastRowOfChapter(table, size_t(current)));
            m_grid->selectCell(current, std::max(m_grid->currentColumn(), int(ColTitle)));
        }
        const int select = hasChapters ? current + 1 : 1;
        insertRow(name, file, true, file);
        for (int n = 1; n <= topics; ++n)
            insertRow(name + "_" + std::to_string(n), "newtopic.tem", false, file);
        m_grid->selectCell(select, ColTitle);
    }
    table.updateCounts(topics, 1);
    m_session->markEdited();
    m_session->markRoles();
    m_session->updateCommandState();
    projectEdited();
    if (dialog.editAfterCreating()) {
        mniSaveClick();
        editInEditor(true);
    }
}

void TfrmVIRedivuv::mniNewTopicClick() {
    TopicTable& table = m_session->table();
    const size_t current = size_t(std::max(m_grid->currentRow(), 1));
    if (current >= table.endRow()) {
        beep(); // before asking: there is no chapter to put the topic in
        return;
    }
    QString title;
    do {
        if (!askText("Insert New Topic", "Please enter a Title for the New Topic:", title))
            return;
    } while (title.trimmed().isEmpty());
    const std::string chapterFile =
        fileNameOf(table.cell(table.chapterRowOf(current), ColMainFileName));
    if (!insertRow(TopicTableModel::encodeCell(title, {}), "newtopic.tem", false, chapterFile))
        return;
    table.updateCounts(1, 0);
    m_session->markEdited();
    m_session->markRoles();
    projectEdited();
}

void TfrmVIRedivuv::mniDeleteSelectedTopicClick() {
    const TopicTable& table = m_session->table();
    const int row = m_grid->currentRow();
    if (!table.isDataRow(size_t(row))) {
        beep();
        return;
    }
    if (table.isChapterRow(size_t(row))) {
        deleteChapter(row);
        return;
    }
    if (m_messages.showMessage("Warning: The selected Topic will be deleted from\r\nthe Project "
                               "and the Main Chapter HTML file.\r\n\r\nAre you sure you want to "
                               "continue?",
                               MessageKind::Warning, MessageButtons::YesNo) == Answer::Yes)
        deleteTopic(row);
}

void TfrmVIRedivuv::deleteTopic(int row) {
    TopicTable& table = m_session->table();
    const int column = m_grid->currentColumn();
    {
        RepaintPause pause(*m_grid);
        if (table.deleteTopicRow(size_t(row)) != DeleteResult::Deleted)
            return; // the only topic of its chapter stays
    }
    m_grid->selectCell(row, std::max(column, int(ColTitle)));
    m_session->markEdited();
    projectEdited();
}

void TfrmVIRedivuv::deleteChapter(int row) {
    TopicTable& table = m_session->table();
    if (table.chapterCount() <= 1) {
        m_messages.showMessage("Can not delete this Chapter, because there\r\nmust be at least "
                               "one chapter in a project.",
                               MessageKind::Error, MessageButtons::Ok);
        return;
    }
    if (m_messages.showMessage("Warning: The selected Chapter will be\r\ndeleted from the "
                               "Project.\r\n\r\nAre you sure you want to continue?",
                               MessageKind::Warning, MessageButtons::YesNo) != Answer::Yes)
        return;
    QCoreApplication::processEvents();
    {
        RepaintPause pause(*m_grid);
        deleteChapterRows(table, size_t(row));
    }
    m_grid->selectCell(row, ColTitle);
    m_session->markEdited();
    projectEdited();
}

void TfrmVIRedivuv::mniMoveDeleteChaptersClick() {
    TopicTable& table = m_session->table();
    if (table.endRow() <= 1)
        return;
    if (!m_session->askToSave(
            "Project must be Saved before Moving/Deleting Chapters.\r\nSave changes?", true))
        return;
    const QIcon icon(m_grid->icons().icon(m_session->settings().userFolders ? 5 : 1));
    TfrmMoveChapters dialog(chapterEntries(table), icon, this);
    if (dialog.exec() == QDialog::Accepted && dialog.changed()) {
        // Every chapter comes afresh from its file, which the save above brought up to date.
        reloadChapters(table, dialog.entries(),
                       ParseOptions::from(m_session->environment(), m_session->maxIconIndex()),
                       *m_progress);
        m_session->setChaptersInSync(true);
        m_session->setModified(true); // the chapter list changed
        m_session->updateCommandState();
        m_grid->selectCell(1, ColTitle);
        projectEdited();
    }
    m_session->markRoles();
}

} // namespace qw
