#include "tools/set_target_window_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qw {

namespace {

// The editors of the original suggestions, then HTML and text editors common on Linux
// desktops (each as it appears in its window captions).
const QStringList kSuggestions = {"AOLpress",
                                  "FrontPage Express",
                                  "Claris Home Page",
                                  "Dreamweaver",
                                  "Netscape Composer",
                                  "FrontPage",
                                  "GoLive",
                                  "Bluefish",
                                  "BlueGriffon",
                                  "KompoZer",
                                  "SeaMonkey",
                                  "Kate",
                                  "KWrite",
                                  "gedit",
                                  "Text Editor",
                                  "Geany",
                                  "Mousepad",
                                  "Pluma",
                                  "Xed",
                                  "GVIM",
                                  "Emacs",
                                  "Visual Studio Code"};

} // namespace

SetTargetWindowDialog::SetTargetWindowDialog(const QString& current, QWidget* parent)
    : QDialog(parent), m_titles(new QComboBox(this)) {
    setObjectName("SetTargetWindowDialog");
    setWindowTitle("Set SFX Toolbar Target Window");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel("Please Enter/Select The Target Window (WYSIWYG Editor) Caption Bar Title:"));
    m_titles->setObjectName("cboTargetTitle");
    m_titles->setEditable(true);
    m_titles->setInsertPolicy(QComboBox::NoInsert);
    m_titles->addItems(kSuggestions);
    m_titles->setEditText(current);
    layout->addWidget(m_titles);
    layout->addWidget(new QLabel("Tip: Only Part Of The Caption Bar Is Required"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    help->setObjectName("btnHelp");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &SetTargetWindowDialog::helpRequested);
    layout->addWidget(buttons);
}

QString SetTargetWindowDialog::targetTitle() const {
    return m_titles->currentText();
}

} // namespace qw
