#pragma once

#include <QDialog>

class QComboBox;

namespace qw {

/// "Set SFX Toolbar Target Window": asks for (part of) the caption of the editor window
/// the toolbar types into.
class SetTargetWindowDialog : public QDialog {
    Q_OBJECT
public:
    SetTargetWindowDialog(const QString& current, QWidget* parent = nullptr);
    /// The text as it stands in the list's edit field.
    QString targetTitle() const;

signals:
    void helpRequested();

private:
    QComboBox* m_titles;
};

} // namespace qw
