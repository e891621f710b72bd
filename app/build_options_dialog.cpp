#include "app/build_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qw {

TfrmCompileOptions::TfrmCompileOptions(const CompileOptions& defaults, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmCompileOptions");
    setWindowTitle("Create HTMLHelp eDocument Options");
    auto* layout = new QVBoxLayout(this);
    auto* warning = new QLabel("Please close all opened HTMLHelp eDocs before continuing.", this);
    warning->setObjectName("pnlWarning");
    warning->setFrameShape(QFrame::Panel);
    warning->setFrameShadow(QFrame::Sunken);
    warning->setStyleSheet("color: #800000; padding: 4px;");
    layout->addWidget(warning);
    m_close = addBox("chkCloseHHeDocs", "&AutoClose Any Opened HTMLHelp eDocuments",
                     defaults.closeHHeDocs);
    m_edit = addBox("chkEditContents", "&Edit Contents In HHWorkShop Before Creating",
                    defaults.editContents);
    m_log = addBox("chkViewLog", "View HTMLHelp Creation &Log After Creating", defaults.viewLog);
    m_view = addBox("chkViewCHM", "&View HTMLHelp eDocument After Creating", defaults.viewChm);
    m_clean = addBox("chkCleanUpFiles", "&Clean Up Files After Creating", defaults.cleanUpFiles);
    m_checkLinks =
        addBox("chkCheckLinks", "Chec&k Links And Files Before Creating", defaults.checkLinks);
    m_default = addBox("chkDefault", "Set Options As &Default", false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    connect(help, &QPushButton::clicked, this, &TfrmCompileOptions::helpRequested);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QCheckBox* TfrmCompileOptions::addBox(const char* name, const char* caption, bool checked) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setChecked(checked);
    layout()->addWidget(box);
    return box;
}

CompileOptions TfrmCompileOptions::choices() const {
    CompileOptions options;
    options.closeHHeDocs = m_close->isChecked();
    options.editContents = m_edit->isChecked();
    options.viewLog = m_log->isChecked();
    options.viewChm = m_view->isChecked();
    options.cleanUpFiles = m_clean->isChecked();
    options.checkLinks = m_checkLinks->isChecked();
    return options;
}

bool TfrmCompileOptions::setAsDefault() const {
    return m_default->isChecked();
}

} // namespace qw
