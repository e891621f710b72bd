#pragma once

#include "core/configuration.h"

#include <QDialog>

class QCheckBox;

namespace qw {

/// "Create HTMLHelp eDocument Options": the build choices (the five of the build and the
/// link check before it), ticked from the stored
/// defaults, and "Set Options As Default".
class TfrmCompileOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCompileOptions(const CompileOptions& defaults, QWidget* parent = nullptr);

    CompileOptions choices() const;
    /// The "&Default" box: store the choices as the new defaults.
    bool setAsDefault() const;

signals:
    void helpRequested();

private:
    QCheckBox* addBox(const char* name, const char* caption, bool checked);

    QCheckBox* m_close;
    QCheckBox* m_edit;
    QCheckBox* m_log;
    QCheckBox* m_view;
    QCheckBox* m_clean;
    QCheckBox* m_checkLinks;
    QCheckBox* m_default;
};

} // namespace qw
