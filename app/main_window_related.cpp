// The keywords and related-topics editor on a topic row of the grid.
#include "app/main_window.h"

#include "app/related_topics_dialog.h"
#include "core/related_topics.h"

namespace qw {

void TfrmVIRedivuv::editRelatedCell(int row, bool keywords) {
    TopicTable& table = m_session->table();
    if (!table.isTopicRow(size_t(row)))
        return;
    const int column = keywords ? ColKeyWords : ColRelated;
    TfrmRelatedTopics dialog(keywords ? TfrmRelatedTopics::Mode::KeyWords
                                      : TfrmRelatedTopics::Mode::RelatedTopics,
                             m_session->environment().topicSeparator, m_messages, this);
    const auto [height, width] = m_session->configuration().readRelatedEditorSize();
    dialog.resize(width, height);
    connect(&dialog, &TfrmRelatedTopics::helpRequested, this,
            [this] { contextHelp("edt_editor_functions.htm", "fol_edteditor.htm"); });
    if (!keywords) {
        // Links are made from the chapter's file: a new topic still names the template.
        const std::string& chapter = table.cell(table.chapterRowOf(size_t(row)), ColMainFileName);
        dialog.setChoices(relatedTopicChoices(table, chapter));
    }
    dialog.load(table.cell(size_t(row), column));
    const int answer = dialog.exec();
    m_session->configuration().writeRelatedEditorSize(dialog.height(), dialog.width());
    if (answer != QDialog::Accepted)
        return;
    const std::string value = dialog.result();
    if (value == table.cell(size_t(row), column))
        return;
    table.setCell(size_t(row), column, value);
    m_session->markEdited();
    projectEdited();
}

} // namespace qw
