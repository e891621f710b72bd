#include "app/move_chapters_dialog.h"

#include "app/topic_table_model.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace qw {

namespace {

QPushButton* sideButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    const QString text = hint;
    button->setToolTip(text.section('|', 0, 0));
    button->setStatusTip(text.section('|', 1));
    return button;
}

} // namespace

TfrmMoveChapters::TfrmMoveChapters(std::vector<ChapterEntry> entries, const QIcon& chapterIcon,
                                   QWidget* parent)
    : QDialog(parent), m_entries(std::move(entries)), m_icon(chapterIcon) {
    setObjectName("frmMoveChapters");
    setWindowTitle("Move/Delete Chapters");
    m_list = new QListWidget(this);
    m_list->setObjectName("LstChapters");
    m_list->setIconSize(QSize(16, 16));

    QPushButton* up = sideButton(this, "btnUp", "&Up", "Move Chapter Up|Move Selected Chapter Up");
    QPushButton* down =
        sideButton(this, "btnDown", "&Down", "Move Chapter Down|Move Selected Chapter Down");
    QPushButton* remove =
        sideButton(this, "btnDelete", "De&lete", "Delete Chapter|Delete Selected Chapter");
    connect(up, &QPushButton::clicked, this, &TfrmMoveChapters::upClick);
    connect(down, &QPushButton::clicked, this, &TfrmMoveChapters::downClick);
    connect(remove, &QPushButton::clicked, this, &TfrmMoveChapters::deleteClick);
    auto* side = new QVBoxLayout;
    side->addWidget(up);
    side->addWidget(down);
    side->addWidget(remove);
    side->addStretch();

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("btnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(m_list);
    row->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    fill(0);
    resize(360, 300);
}

void TfrmMoveChapters::fill(int selected) {
    m_list->clear();
    for (const ChapterEntry& entry : m_entries) {
        auto* item = new QListWidgetItem(m_icon, TopicTableModel::decodeCell(entry.title), m_list);
        item->setSizeHint(QSize(0, 20)); // icon and title centred in a row a little taller
    }
    if (selected >= 0 && selected < m_list->count())
        m_list->setCurrentRow(selected);
}

void TfrmMoveChapters::apply(int (*operation)(std::vector<ChapterEntry>&, int)) {
    const int selected = m_list->currentRow();
    if (selected < 0)
        return;
    const std::vector<ChapterEntry> before = m_entries;
    const int next = operation(m_entries, selected);
    if (m_entries == before)
        return;
    m_changed = true;
    fill(next);
}

void TfrmMoveChapters::upClick() {
    apply(&moveChapterUp);
}
void TfrmMoveChapters::downClick() {
    apply(&moveChapterDown);
}
void TfrmMoveChapters::deleteClick() {
    apply(&deleteChapterEntry);
}

} // namespace qw
