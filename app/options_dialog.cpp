// The options dialog's frame: pages, buttons, OK and Help, and the helpers that build
// its controls. The pages themselves are built in options_dialog_project.cpp and
// options_dialog_environment.cpp.
#include "app/options_dialog.h"

#include "app/message_routine.h"
#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/project_session.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qw {

TfrmOptions::TfrmOptions(OptionsMode mode, ProjectSession& session, MessageRoutine& messages,
                         const GridIcons* icons, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_session(session), m_messages(messages) {
    setObjectName("frmOptions");
    setWindowTitle(mode == OptionsMode::Project ? "Project Options" : "Environment Options");
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("pgcOptions");
    layout->addWidget(m_tabs);
    auto* foot = new QHBoxLayout;
    auto* note = new QLabel("*  HTMLHelp eDocuments Only", this);
    note->setObjectName("lblAsterisk");
    note->setVisible(mode == OptionsMode::Project);
    foot->addWidget(note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    help->setObjectName("btnHelp");
    buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
    connect(help, &QPushButton::clicked, this, [this] {
        emit helpRequested(currentHelpPage(), QString::fromStdString(optionsTreePage(m_mode)));
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmOptions::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    foot->addWidget(buttons);
    layout->addLayout(foot);

    if (mode == OptionsMode::Project) {
        buildProjectPages();
        connectProjectControls();
        loadProject();
    } else {
        buildEnvironmentPages(icons);
        connectEnvironmentControls();
        m_env = EnvironmentSettings::read(
            IniFile(session.configuration().path(), IniFile::Unreadable::UseDefaults));
        showEnvironment();
    }
    m_tabs->setCurrentIndex(0);
}

QString TfrmOptions::currentHelpPage() const {
    const QWidget* page = m_tabs->currentWidget();
    return QString::fromStdString(
        optionsHelpPage(m_mode, page ? page->objectName().toStdString() : std::string()));
}

void TfrmOptions::accept() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        writeSettings();
    } catch (const FileError& error) {
        QApplication::restoreOverrideCursor();
        m_messages.showError(error.what());
        QDialog::reject();
        return;
    }
    QApplication::restoreOverrideCursor();
    QDialog::accept();
}

void TfrmOptions::writeSettings() {
    if (m_mode == OptionsMode::Environment) {
        IniFile config(m_session.configuration().path());
        m_env.write(config);
        return;
    }
    m_project.additionalFiles = m_lists.files;
    confirmProjectOptions(m_session, m_project);
}

bool TfrmOptions::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && m_sizeBoxes.count(box) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Only printable characters are refused; Tab, Enter, backspace and the keys
        // without text (arrows, Delete) keep their usual work.
        if (text.size() == 1 && text[0].isPrint() &&
            !sizeBoxAcceptsKey(text[0].unicode() < 128 ? char(text[0].unicode()) : '?')) {
            m_messages.beep();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// --- control helpers ------------------------------------------------------------------------

QWidget* TfrmOptions::addPage(const char* name, const char* caption) {
    auto* page = new QWidget(m_tabs);
    page->setObjectName(name);
    new QVBoxLayout(page);
    m_tabs->addTab(page, caption);
    return page;
}

QCheckBox* TfrmOptions::addBox(QWidget* page, const char* name, const char* caption) {
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(name);
    page->layout()->addWidget(box);
    m_boxes[name] = box;
    return box;
}

QLineEdit* TfrmOptions::addEdit(QWidget* page, const char* name, const char* caption) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(caption, page);
    label->setObjectName(QString("lbl") + (name + 2));
    auto* edit = new QLineEdit(page);
    edit->setObjectName(name);
    label->setBuddy(edit);
    row->addWidget(label);
    row->addWidget(edit, 1);
    static_cast<QVBoxLayout*>(page->layout())->addLayout(row);
    m_edits[name] = edit;
    m_lastRow = row;
    return edit;
}

QComboBox* TfrmOptions::addPageList(QWidget* page, const char* name, const char* caption) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(caption, page);
    label->setObjectName(QString("lbl") + (name + 3));
    auto* list = new QComboBox(page);
    list->setObjectName(name);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    label->setBuddy(list);
    row->addWidget(label);
    row->addWidget(list, 1);
    static_cast<QVBoxLayout*>(page->layout())->addLayout(row);
    m_pageLists[name] = list;
    m_lastRow = row;
    return list;
}

QPushButton* TfrmOptions::addButton(QWidget* page, const char* name, const char* caption) {
    auto* button = new QPushButton(caption, page);
    button->setObjectName(name);
    page->layout()->addWidget(button);
    return button;
}

QPushButton* TfrmOptions::addPickButton(QWidget* page, const char* name) {
    auto* button = new QPushButton("...", page);
    button->setObjectName(name);
    button->setMaximumWidth(button->fontMetrics().horizontalAdvance("....") + 16);
    m_lastRow->addWidget(button);
    return button;
}

} // namespace qw
