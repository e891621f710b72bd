#include "app/wizard.h"

#include "app/file_dialogs.h"
#include "app/message_routine.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace qw {

namespace {

constexpr int kLastPage = 4;

QPushButton* listButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    const QString text = hint;
    button->setToolTip(text.section('|', 0, 0));
    button->setStatusTip(text.section('|', 1));
    return button;
}

} // namespace

TfrmWizard::TfrmWizard(const QString& programDir, MessageRoutine& messages, QWidget* parent)
    : QDialog(parent), m_programDir(programDir), m_messages(messages) {
    setObjectName("frmWizard");
    setWindowTitle("New HTMLHelp Quirewright Project Wizard");
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(makePage("Welcome to the new project wizard. This wizard will help you "
                                "create a new HTMLHelp Quirewright project."));
    m_pages->addWidget(fileNamePage());
    m_pages->addWidget(titlePage());
    m_pages->addWidget(filesPage());
    m_pages->addWidget(makePage(
        "The wizard will now create a new HTMLHelp Quirewright project. If you need to make any "
        "changes, click 'Back'. Otherwise click 'Finish' to create your new project."));

    auto* help = new QPushButton("&Help", this);
    help->setObjectName("btnHelp");
    m_back = new QPushButton("< &Back", this);
    m_back->setObjectName("btnBack");
    m_next = new QPushButton("&Next >", this);
    m_next->setObjectName("btnNext");
    m_next->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("btnCancel");
    connect(help, &QPushButton::clicked, this, &TfrmWizard::helpRequested);
    connect(m_back, &QPushButton::clicked, this, &TfrmWizard::backClick);
    connect(m_next, &QPushButton::clicked, this, &TfrmWizard::nextClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);
    showPage(0);
    resize(480, 340);
}

QWidget* TfrmWizard::makePage(const char* text, QWidget* content) {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* label = new QLabel(text, page);
    label->setWordWrap(true);
    layout->addWidget(label);
    if (content != nullptr)
        layout->addWidget(content);
    layout->addStretch();
    return page;
}

QWidget* TfrmWizard::fileNamePage() {
    auto* content = new QWidget(this);
    m_fileName = new QLineEdit(content);
    m_fileName->setObjectName("edtNewFileName");
    m_fileName->setReadOnly(true);
    auto* browse = new QPushButton("Bro&wse...", content);
    browse->setObjectName("btnBrowse");
    connect(browse, &QPushButton::clicked, this, &TfrmWizard::browseClick);
    auto* row = new QHBoxLayout(content);
    row->addWidget(m_fileName);
    row->addWidget(browse);
    return makePage("Please click Browse to specify a name for your new HTMLHelp Quirewright "
                    "Project, and where you would like it to be created.",
                    content);
}

QWidget* TfrmWizard::titlePage() {
    auto* content = new QWidget(this);
    m_title = new QLineEdit(content);
    m_title->setObjectName("edtProjectTitle");
    auto* column = new QVBoxLayout(content);
    column->addWidget(m_title);
    column->addWidget(new QLabel(
        "N.B. You may change this later by selecting  'Project Options' from the menu.", content));
    return makePage("Please specify a Caption Bar Title for your 'HTMLHelp eDocument' that will "
                    "be created using HTMLHelp Quirewright.",
                    content);
}

QWidget* TfrmWizard::filesPage() {
    auto* content = new QWidget(this);
    m_list = new QListWidget(content);
    m_list->setObjectName("lstAddedFiles");
    QPushButton* add =
        listButton(content, "btnAddFiles", "&Add File(s)", "Add File(s)|Add one or more Files");
    QPushButton* remove =
        listButton(content, "btnRemoveFile", "&Remove File", "Remove File|Remove Selected File");
    QPushButton* up = listButton(content, "btnMoveUp", "Move &Up", "Move Up|Move Selected File Up");
    QPushButton* down =
        listButton(content, "btnMoveDown", "Move &Down", "Move Down|Move Selected File Down");
    connect(add, &QPushButton::clicked, this, &TfrmWizard::addFilesClick);
    connect(remove, &QPushButton::clicked, this, &TfrmWizard::removeFileClick);
    connect(up, &QPushButton::clicked, this, &TfrmWizard::moveUpClick);
    connect(down, &QPushButton::clicked, this, &TfrmWizard::moveDownClick);
    auto* side = new QVBoxLayout;
    for (QPushButton* button : {add, remove, up, down})
        side->addWidget(button);
    side->addStretch();
    auto* row = new QHBoxLayout(content);
    row->addWidget(m_list);
    row->addLayout(side);
    return makePage("You may now add HTML Chapter Files to your project. N.B. If you have not "
                    "yet created any HTML files, choose 'Next'. Add files later by choosing  "
                    "'Add File(s)' from the menu. ",
                    content);
}

QString TfrmWizard::fileName() const {
    return m_fileName->text();
}
QString TfrmWizard::projectTitle() const {
    return m_title->text();
}
QStringList TfrmWizard::files() const {
    QStringList result;
    for (const std::string& name : m_files.names())
        result << QString::fromStdString(name);
    return result;
}
int TfrmWizard::page() const {
    return m_pages->currentIndex();
}

void TfrmWizard::showPage(int page) {
    m_pages->setCurrentIndex(page);
    m_back->setEnabled(page > 0);
    m_next->setText(page == kLastPage ? "&Finish" : "&Next >");
}

void TfrmWizard::nextClick() {
    if (page() == kLastPage) {
        accept();
        return;
    }
    if (page() == 1 && m_fileName->text().trimmed().isEmpty()) {
        m_messages.showPlain("Please specify a name for the project.");
        m_fileName->setFocus();
        return;
    }
    showPage(page() + 1);
}

void TfrmWizard::backClick() {
    if (page() > 0)
        showPage(page() - 1);
}

QString TfrmWizard::projectFolder() const {
    if (m_fileName->text().isEmpty())
        return {};
    return QFileInfo(m_fileName->text()).absolutePath() + "/";
}

void TfrmWizard::browseClick() {
    const QString chosen = FileDialogs::chooseOne(
        this, {FileRequest::Save, "Specify Name and Directory for new HTMLHelp Quirewright file",
               m_programDir, "HTMLHelp Quirewright file (*.qwr)", "qwr"});
    if (chosen.isEmpty())
        return;
    const QString before = projectFolder();
    m_fileName->setText(QFileInfo(chosen).absoluteFilePath());
    if (projectFolder() != before) {
        // The files chosen so far were relative to the other folder.
        m_files.clear();
        showFiles(-1);
    }
}

void TfrmWizard::addFilesClick() {
    const QStringList chosen =
        FileDialogs::choose(this, {FileRequest::OpenMany, "Add HTML Chapter(s)", projectFolder(),
                                   "HTML Files (*.htm, *.html) (*.htm *.html)", ""});
    if (chosen.isEmpty())
        return;
    std::vector<std::string> paths;
    for (const QString& file : chosen)
        paths.push_back(QFileInfo(file).absoluteFilePath().toStdString());
    const bool allInside = m_files.add(paths, projectFolder().toStdString());
    showFiles(int(m_files.names().size()) - 1);
    if (!allInside)
        m_messages.showMessage("Error: Chapter Files must be in the same directory,\r\nor a "
                               "sub-directory of the Project file.",
                               MessageKind::Error, MessageButtons::Ok);
}

void TfrmWizard::removeFileClick() {
    if (m_list->currentRow() >= 0)
        showFiles(m_files.remove(m_list->currentRow()));
}
void TfrmWizard::moveUpClick() {
    if (m_list->currentRow() >= 0)
        showFiles(m_files.moveUp(m_list->currentRow()));
}
void TfrmWizard::moveDownClick() {
    if (m_list->currentRow() >= 0)
        showFiles(m_files.moveDown(m_list->currentRow()));
}

void TfrmWizard::showFiles(int selected) {
    m_list->clear();
    m_list->addItems(files());
    if (selected >= 0 && selected < m_list->count())
        m_list->setCurrentRow(selected);
}

} // namespace qw
