#include "app/grid_context_menu.h"

#include "core/grid_menu.h"
#include "core/special_topics.h"

namespace qw {

GridContextMenu::GridContextMenu(QWidget* parent) : QMenu(parent) {
    setObjectName("pumRightClickOptions");
    setToChapterEnd = item("puiSetIconToChapterEnd", "Set All Icons To Chapter End As");
    setAll = item("puiSetAllIcons", "Set ALL Icons As");
    m_setAllSeparator = addSeparator();
    deleteChapter = item("puiDeleteSelectedChapter", "Delete Selected Chapter");
    insertChapter = item("puiInsertNewChapter", "Insert New Chapter");
    deleteTopic = item("puiDeleteSelectedTopic", "Delete Selected Topic");
    insertTopic = item("puiInsertNewTopic", "Insert New Topic");
    m_topicSeparator = addSeparator();
    const auto addSpecial = [this](int tag) {
        const SpecialTopicKind* kind = specialTopicByTag(tag);
        QAction* action = item(kind->menuName, QString::fromUtf8(kind->caption));
        action->setCheckable(true);
        action->setData(tag);
        special[size_t(tag - 1)] = action;
    };
    addSpecial(2);
    addSpecial(5);
    addSpecial(6);
    m_specialSeparator = addSeparator();
    addSpecial(1);
    addSpecial(3);
    addSpecial(4);
    viewInWysiwyg = item("puiViewInWYSIWYGEditor", "View In WYSIWYG Editor");
    addSeparator();
    copy = item("puiCopy", "Copy");
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    paste = item("puiPaste", "Paste");
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    for (QAction* action : {copy, paste})
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
}

QAction* GridContextMenu::item(const char* name, const QString& caption) {
    QAction* action = addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void GridContextMenu::fit(const GridMenuState& state) {
    for (QAction* action : {deleteChapter, insertChapter, viewInWysiwyg})
        action->setEnabled(state.projectOpen);
    copy->setEnabled(state.copyEnabled);
    paste->setEnabled(state.pasteEnabled);
    for (QAction* action : {deleteChapter, insertChapter, viewInWysiwyg})
        action->setVisible(state.chapterItems);
    for (QAction* action : {deleteTopic, insertTopic, m_topicSeparator, m_specialSeparator})
        action->setVisible(state.topicItems);
    for (size_t i = 0; i < special.size(); ++i) {
        special[i]->setVisible(state.topicItems);
        special[i]->setChecked(state.specialChecked[i]);
    }
    for (QAction* action : {setToChapterEnd, setAll, m_setAllSeparator})
        action->setVisible(state.setAllItems);
    if (state.setAllItems) {
        setAll->setText(QString::fromStdString(state.setAllCaption));
        setAll->setStatusTip(QString::fromStdString(state.setAllStatus));
        setToChapterEnd->setText(QString::fromStdString(state.chapterEndCaption));
        setToChapterEnd->setStatusTip(QString::fromStdString(state.chapterEndStatus));
    }
}

} // namespace qw
