#include "app/new_chapter_dialog.h"

#include "app/file_dialogs.h"
#include "app/message_routine.h"
#include "core/chapter_template.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace qw {

namespace {

const char* const kDefaultName = "New Chapter";

QToolButton* spinButton(QWidget* parent, const char* name, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    return button;
}

} // namespace

TfrmNewChapter::TfrmNewChapter(const QString& projectDir, MessageRoutine& messages, QWidget* parent)
    : QDialog(parent), m_projectDir(projectDir), m_messages(messages) {
    setObjectName("frmNewChapter");
    setWindowTitle("Add New Chapter And Topics");
    auto* form = new QFormLayout;

    m_name = new QLineEdit(kDefaultName, this);
    m_name->setObjectName("edtNewChapName");
    m_name->installEventFilter(this);
    connect(m_name, &QLineEdit::editingFinished, this, &TfrmNewChapter::nameLeft);
    auto* nameLabel = new QLabel("New Chapter &Name:", this);
    nameLabel->setBuddy(m_name);
    form->addRow(nameLabel, m_name);

    m_file = new QLineEdit(this);
    m_file->setObjectName("edtNewChapFilename");
    m_file->setReadOnly(true);
    auto* fileButton = new QToolButton(this);
    fileButton->setObjectName("sbtnSetFilename");
    fileButton->setText("...");
    fileButton->setToolTip("Set New Chapter Filename");
    connect(fileButton, &QToolButton::clicked, this, &TfrmNewChapter::chooseFile);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file);
    fileRow->addWidget(fileButton);
    auto* fileLabel = new QLabel("New Chapter &Filename:", this);
    fileLabel->setBuddy(fileButton);
    form->addRow(fileLabel, fileRow);

    m_topics = new QLineEdit("1", this);
    m_topics->setObjectName("edtNumOfTopics");
    m_topics->setMaxLength(2);
    m_topics->setMaximumWidth(40);
    m_topics->installEventFilter(this);
    connect(m_topics, &QLineEdit::editingFinished, this, &TfrmNewChapter::topicsLeft);
    QToolButton* up = spinButton(this, "udNumOfTopicsUp", Qt::UpArrow);
    QToolButton* down = spinButton(this, "udNumOfTopicsDown", Qt::DownArrow);
    connect(up, &QToolButton::clicked, this, [this] { stepTopics(1); });
    connect(down, &QToolButton::clicked, this, [this] { stepTopics(-1); });
    auto* topicsRow = new QHBoxLayout;
    topicsRow->addWidget(m_topics);
    topicsRow->addWidget(up);
    topicsRow->addWidget(down);
    topicsRow->addStretch();
    auto* topicsLabel = new QLabel("&Number Of Topics:", this);
    topicsLabel->setBuddy(m_topics);
    form->addRow(topicsLabel, topicsRow);

    m_edit = new QCheckBox("Save project and Edit new Chapter after creating", this);
    m_edit->setObjectName("chkEditInWYSIWYG");

    auto* buttons = new QDialogButtonBox(this);
    m_add = buttons->addButton("Add", QDialogButtonBox::AcceptRole);
    m_add->setObjectName("btnAdd");
    m_add->setDefault(true);
    m_add->setEnabled(false);
    QPushButton* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancel->setObjectName("btnCancel");
    QPushButton* help = buttons->addButton("Help", QDialogButtonBox::HelpRole);
    help->setObjectName("btnHelp");
    connect(help, &QPushButton::clicked, this, &TfrmNewChapter::helpRequested);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_file, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_add->setEnabled(!text.trimmed().isEmpty()); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
}

QString TfrmNewChapter::chapterName() const {
    return m_name->text();
}
QString TfrmNewChapter::chapterFileName() const {
    return m_file->text();
}
int TfrmNewChapter::numberOfTopics() const {
    return newChapterTopicCount(m_topics->text().toStdString());
}
bool TfrmNewChapter::editAfterCreating() const {
    return m_edit->isChecked();
}

void TfrmNewChapter::chooseFile() {
    const QString chosen =
        FileDialogs::chooseOne(this, {FileRequest::Save, "Save New Chapter File As...",
                                      m_projectDir, "HTML File (*.htm)", "htm"});
    if (chosen.isEmpty())
        return;
    if (!isHtmlFileName(chosen.toStdString())) {
        m_messages.showMessage("Error: A Chapter File must be an HTML file (*.htm, *.html).",
                               MessageKind::Error, MessageButtons::Ok);
        return;
    }
    const std::string relative =
        chapterFileInProject(chosen.toStdString(), m_projectDir.toStdString());
    if (relative.empty()) {
        m_messages.showMessage("Error: Chapter Files must be in the same directory,\r\nor a "
                               "sub-directory of the Project file.",
                               MessageKind::Error, MessageButtons::Ok);
        return;
    }
    m_file->setText(QString::fromStdString(relative));
    const QString name = m_name->text().trimmed();
    if (name.isEmpty() || name == kDefaultName)
        m_name->setText(QString::fromStdString(chapterNameFromFile(relative)));
}

void TfrmNewChapter::stepTopics(int delta) {
    const int count = std::clamp(numberOfTopics() + delta, 1, 90);
    m_topics->setText(QString::number(count));
}

void TfrmNewChapter::nameLeft() {
    if (m_name->text().trimmed().isEmpty())
        m_name->setText(kDefaultName);
}

void TfrmNewChapter::topicsLeft() {
    m_topics->setText(QString::number(numberOfTopics()));
}

bool TfrmNewChapter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_name && event->type() == QEvent::MouseButtonRelease) {
        // A click selects the whole name, ready to be typed over.
        QTimer::singleShot(0, m_name, &QLineEdit::selectAll);
    } else if (watched == m_topics && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const bool typed = !text.isEmpty() && text.at(0).isPrint();
        if (typed && !text.at(0).isDigit()) {
            m_messages.beep();
            return true;
        }
    } else if (watched == m_topics && event->type() == QEvent::FocusOut) {
        topicsLeft();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qw
