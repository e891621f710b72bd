#pragma once

#include "lint/lint_finding.h"

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;

namespace qw {

/// "Link Check": the findings of the check before a build, one a line as
/// "file:line: error: message"; a double-click on a finding asks for its topic's row.
class TfrmLinkCheck : public QWidget {
    Q_OBJECT
public:
    explicit TfrmLinkCheck(QWidget* parent = nullptr);

    /// Replaces the list; the summary line counts errors and warnings.
    void setFindings(const std::vector<LintFinding>& findings);
    QListWidget* list() const { return m_list; }
    QString summary() const;

signals:
    /// The topic table row of the finding double-clicked (never 0).
    void rowActivated(int row);

private:
    void itemActivated(QListWidgetItem* item);

    QLabel* m_summary;
    QListWidget* m_list;
};

} // namespace qw
