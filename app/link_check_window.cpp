#include "app/link_check_window.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace qw {

namespace {
constexpr int kRowRole = Qt::UserRole + 1;
}

TfrmLinkCheck::TfrmLinkCheck(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName("frmLinkCheck");
    setWindowTitle("Link Check");
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName("lblSummary");
    layout->addWidget(m_summary);
    m_list = new QListWidget(this);
    m_list->setObjectName("lstFindings");
    m_list->setToolTip("Double-click a finding to select its topic");
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &TfrmLinkCheck::itemActivated);
    resize(720, 320);
}

void TfrmLinkCheck::setFindings(const std::vector<LintFinding>& findings) {
    m_list->clear();
    size_t errors = 0;
    for (const LintFinding& finding : findings) {
        auto* item = new QListWidgetItem(QString::fromStdString(formatFinding(finding)), m_list);
        item->setData(kRowRole, qulonglong(finding.row));
        if (finding.severity == LintSeverity::Error) {
            ++errors;
            item->setForeground(QColor(0x80, 0, 0));
        }
    }
    m_summary->setText(
        QString("%1 error(s), %2 warning(s)").arg(errors).arg(findings.size() - errors));
}

QString TfrmLinkCheck::summary() const {
    return m_summary->text();
}

void TfrmLinkCheck::itemActivated(QListWidgetItem* item) {
    const qulonglong row = item->data(kRowRole).toULongLong();
    if (row > 0)
        emit rowActivated(int(row));
}

} // namespace qw
