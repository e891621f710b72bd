#include "app/related_topics_dialog.h"

#include "app/message_routine.h"
#include "app/topic_table_model.h"
#include "core/metadata_values.h"
#include "core/related_topics.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qw {

namespace {

constexpr int kFixedColumnWidth = 18;

QString cellText(const std::string& bytes) {
    return TopicTableModel::decodeCell(bytes);
}

} // namespace

TfrmRelatedTopics::TfrmRelatedTopics(Mode mode, std::string separator, MessageRoutine& messages,
                                     QWidget* parent)
    : QDialog(parent), m_mode(mode), m_separator(std::move(separator)), m_messages(messages) {
    const bool keywords = mode == Mode::KeyWords;
    setObjectName("frmRelatedTopics");
    setWindowTitle(keywords ? "KeyWords" : "Related Topics");
    m_table = new QTableWidget(int(kRelatedEditorRows), 2, this);
    m_table->setObjectName("sgrdRelatedTopics");
    m_table->setHorizontalHeaderLabels(
        keywords ? QStringList{"KeyWords", "KeyWords"}
                 : QStringList{"Related Topic Description", "Related Topic FileName"});
    m_table->setWordWrap(false);
    m_table->setTextElideMode(Qt::ElideRight);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                             QAbstractItemView::EditKeyPressed);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* rows = m_table->verticalHeader();
    rows->setSectionsMovable(true); // rows are dragged by their fixed cell
    rows->setFixedWidth(kFixedColumnWidth);
    rows->setDefaultAlignment(Qt::AlignCenter);
    for (int r = 0; r < m_table->rowCount(); ++r) {
        m_table->setVerticalHeaderItem(r, new QTableWidgetItem(QString()));
        for (int c = 0; c < 2; ++c)
            setText(r, c, {});
    }
    m_table->installEventFilter(this);
    m_table->viewport()->installEventFilter(this); // its resizes fit the columns

    m_choices = new QComboBox(m_table->viewport());
    m_choices->setObjectName("cmbRelatedTopics");
    m_choices->hide();
    connect(m_choices, &QComboBox::activated, this, [this](int index) {
        if (m_choicesRow >= 0 && index >= 0)
            m_table->item(m_choicesRow, 1)->setText(m_choices->itemText(index));
    });
    if (!keywords) {
        connect(m_table, &QTableWidget::currentCellChanged, this, &TfrmRelatedTopics::cellEntered);
        connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, this,
                &TfrmRelatedTopics::hideChoices);
        connect(m_table->horizontalScrollBar(), &QScrollBar::valueChanged, this,
                &TfrmRelatedTopics::hideChoices);
        connect(rows, &QHeaderView::sectionMoved, this, &TfrmRelatedTopics::hideChoices);
        connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this,
                [this](int column, int, int size) {
                    if (column == 1 && size != m_choicesWidth)
                        hideChoices();
                });
    }

    m_overflowNote = new QLabel(this);
    m_overflowNote->setObjectName("lblOverflow");
    m_overflowNote->setWordWrap(true);
    m_overflowNote->hide();

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("btnCancel");
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    help->setObjectName("btnHelp");
    connect(help, &QPushButton::clicked, this, &TfrmRelatedTopics::helpRequested);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_overflowNote);
    layout->addWidget(buttons);
    resize(351, 291);
}

void TfrmRelatedTopics::setChoices(const std::vector<std::string>& choices) {
    m_choices->clear();
    for (const std::string& choice : choices)
        m_choices->addItem(cellText(choice));
}

void TfrmRelatedTopics::setText(int row, int column, const std::string& text) {
    auto* item = new QTableWidgetItem(cellText(text));
    item->setTextAlignment(Qt::AlignCenter);
    if (m_mode == Mode::RelatedTopics && column == 1)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable); // chosen from the list only
    m_table->setItem(row, column, item);
}

QString TfrmRelatedTopics::text(int row, int column) const {
    const QTableWidgetItem* item = m_table->item(row, column);
    return item ? item->text() : QString();
}

void TfrmRelatedTopics::load(const std::string& cell) {
    m_overflow.clear();
    const size_t cells = kRelatedEditorRows * 2;
    if (m_mode == Mode::KeyWords) {
        const std::vector<std::string> keywords = splitKeywords(cell);
        for (size_t i = 0; i < keywords.size(); ++i) {
            if (i < cells)
                setText(int(i / 2), int(i % 2), keywords[i]);
            else
                m_overflow.push_back(keywords[i]);
        }
    } else {
        const std::vector<RelatedEntry> entries = splitRelatedTopics(cell);
        for (size_t i = 0; i < entries.size(); ++i) {
            if (i < kRelatedEditorRows) {
                setText(int(i), 0, entries[i].description);
                setText(int(i), 1, entries[i].fileName);
            } else {
                m_overflow.push_back(relatedEntryText(entries[i]));
            }
        }
    }
    m_overflowNote->setVisible(!m_overflow.empty());
    m_overflowNote->setText(
        QString("%1 more %2 than this table holds %3 kept unchanged after the table's.")
            .arg(m_overflow.size())
            .arg(m_mode == Mode::KeyWords ? "keyword(s)" : "related topic(s)")
            .arg(m_overflow.size() == 1 ? "is" : "are"));
}

std::vector<int> TfrmRelatedTopics::rowsInOrder() const {
    std::vector<int> order;
    const QHeaderView* rows = m_table->verticalHeader();
    for (int visual = 0; visual < m_table->rowCount(); ++visual)
        order.push_back(rows->logicalIndex(visual));
    return order;
}

std::string TfrmRelatedTopics::result() const {
    const auto bytes = [this](int row, int column) {
        return TopicTableModel::encodeCell(text(row, column), {});
    };
    std::string built;
    if (m_mode == Mode::KeyWords) {
        std::vector<std::string> cells;
        for (int row : rowsInOrder()) {
            cells.push_back(bytes(row, 0));
            cells.push_back(bytes(row, 1));
        }
        cells.insert(cells.end(), m_overflow.begin(), m_overflow.end());
        return joinKeywords(cells);
    }
    std::vector<RelatedEntry> entries;
    for (int row : rowsInOrder())
        entries.push_back({bytes(row, 0), bytes(row, 1)});
    built = joinRelatedTopics(entries);
    for (const std::string& kept : m_overflow)
        built += (built.empty() ? "" : ", ") + kept;
    return built;
}

void TfrmRelatedTopics::done(int code) {
    if (code == QDialog::Accepted) {
        const std::string problem = metadataValueProblem(result(), m_separator);
        if (!problem.empty()) {
            m_messages.showMessage("This text cannot be stored in the chapter file: " + problem,
                                   MessageKind::Error, MessageButtons::Ok);
            return;
        }
    }
    QDialog::done(code);
}

void TfrmRelatedTopics::cellEntered(int row, int column, int previousRow, int previousColumn) {
    if (column != 1) {
        hideChoices();
        return;
    }
    if (text(row, 0).trimmed().isEmpty()) {
        // A file name needs its description first.
        QSignalBlocker block(m_table);
        m_table->setCurrentCell(previousRow >= 0 ? previousRow : row,
                                previousColumn >= 0 && previousColumn != 1 ? previousColumn : 0);
        hideChoices();
        return;
    }
    showChoices(row);
}

void TfrmRelatedTopics::showChoices(int row) {
    const QRect cell = m_table->visualRect(m_table->model()->index(row, 1));
    m_choicesRow = row;
    m_choicesWidth = m_table->columnWidth(1);
    m_choices->setGeometry(cell.left() + 2, cell.top() + 1, cell.width(), cell.height());
    m_choices->setCurrentIndex(m_choices->findText(text(row, 1), Qt::MatchExactly));
    m_choices->show();
    m_choices->raise();
}

void TfrmRelatedTopics::hideChoices() {
    m_choices->hide();
    m_choicesRow = -1;
}

void TfrmRelatedTopics::fitColumns() {
    const int width = m_table->viewport()->width() / 2 - 1;
    m_table->setColumnWidth(0, width);
    m_table->setColumnWidth(1, width);
}

bool TfrmRelatedTopics::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    // In related-topics mode typed keys never reach the file-name column.
    if (watched == m_table && event->type() == QEvent::KeyPress && m_mode == Mode::RelatedTopics &&
        m_table->currentColumn() == 1) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->text().isEmpty() && key->text().at(0).isPrint())
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qw
