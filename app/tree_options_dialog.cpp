#include "app/tree_options_dialog.h"

#include "app/file_dialogs.h"
#include "app/message_routine.h"
#include "core/colour_text.h"
#include "treegen/tree_dialog_rules.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qw {

namespace {

TfrmTreeOptions::ColourChooser& colourChooser() {
    static TfrmTreeOptions::ColourChooser chooser;
    return chooser;
}

struct Choice {
    const char* name;
    const char* caption;
};

constexpr Choice kFormats[] = {{"rbStandardHTML", "&Standard HTML"},
                               {"rbJavaApplet", "Java &Applet"},
                               {"rbJavaScript", "&JavaScript/DHTML"}};
constexpr Choice kIconSets[] = {{"rbW95Folders", "&W95 Folders"}, {"rbW95Books", "W95 Books"},
                                {"rbOS2Folders", "OS2 Folders"},  {"rbMacFolders", "Mac Folders"},
                                {"rbArrows1", "Arrows 1"},        {"rbArrows2", "Arrows 2"},
                                {"rb3DPlusMinus", "3D +/-"}};

/// A group of exclusive round buttons, numbered from 0, laid out in the box.
QButtonGroup* addChoices(QWidget* box, QLayout* layout, const Choice* choices, int count) {
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(choices[i].caption, box);
        button->setObjectName(choices[i].name);
        group->addButton(button, i);
        layout->addWidget(button);
    }
    return group;
}

QLabel* buddyLabel(const char* caption, QWidget* buddy) {
    auto* label = new QLabel(caption, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

} // namespace

void TfrmTreeOptions::setTestColourChooser(ColourChooser chooser) {
    colourChooser() = std::move(chooser);
}

TfrmTreeOptions::TfrmTreeOptions(const TreeOptions& options, const std::string& projectDir,
                                 const std::string& dataDir, MessageRoutine& messages,
                                 QWidget* parent)
    : QDialog(parent), m_projectDir(projectDir), m_messages(messages) {
    setObjectName("frmTreeOptions");
    setWindowTitle("DOVAZaze Options");
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildFormatGroup());
    left->addWidget(buildFrameGroup());
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(buildPaneGroup());
    right->addWidget(buildIconGroup(dataDir));
    right->addStretch();
    columns->addLayout(left);
    columns->addLayout(right);
    layout->addLayout(columns);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* create = buttons->addButton("&Create", QDialogButtonBox::AcceptRole);
    create->setObjectName("btnCreate");
    create->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName("btnCancel");
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    help->setObjectName("btnHelp");
    connect(help, &QPushButton::clicked, this,
            [this] { emit helpRequested(kTreeOptionsHelpPage, kTreeOptionsHelpTreePage); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    showOptions(options);
}

QWidget* TfrmTreeOptions::buildFormatGroup() {
    auto* box = new QGroupBox("Tree Format ", this);
    box->setObjectName("grpTreeFormat");
    auto* layout = new QVBoxLayout(box);
    m_formats = addChoices(box, layout, kFormats, 3);
    connect(m_formats, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            formatChanged();
    });

    // The applet's size and the link style share one place: the format decides which.
    m_appletGroup = new QGroupBox(" Applet Properties  ", this);
    m_appletGroup->setObjectName("grpAppletProperties");
    auto* applet = new QFormLayout(m_appletGroup);
    m_appletHeight = addNumberBox("edtAppletHeight");
    m_appletWidth = addNumberBox("edtAppletWidth");
    m_appletHeight->setParent(m_appletGroup);
    m_appletWidth->setParent(m_appletGroup);
    applet->addRow(buddyLabel("&Height:", m_appletHeight), m_appletHeight);
    applet->addRow(buddyLabel("&Width:", m_appletWidth), m_appletWidth);
    m_styleGroup = new QGroupBox("Tree Style ", this);
    m_styleGroup->setObjectName("grpTreeStyle");
    auto* style = new QHBoxLayout(m_styleGroup);
    const Choice styles[] = {{"rbStyle1", "Style&1"}, {"rbStyle2", "Style&2"}};
    m_styles = addChoices(m_styleGroup, style, styles, 2);
    layout->addWidget(m_appletGroup);
    layout->addWidget(m_styleGroup);
    return box;
}

QWidget* TfrmTreeOptions::buildFrameGroup() {
    auto* box = new QGroupBox("Frames ", this);
    box->setObjectName("grpFrames");
    auto* layout = new QFormLayout(box);
    m_putInSubDir = new QCheckBox("&Put DOVAZaze files in a Sub-Directory", box);
    m_putInSubDir->setObjectName("chkPutInSubDir");
    m_showBorder = new QCheckBox("Show &Border", box);
    m_showBorder->setObjectName("chkShowBorder");
    m_frameWidth = addNumberBox("edtFrameWidth");
    m_frameWidth->setParent(box);
    m_viewWhenCreated = new QCheckBox("&View When Created", box);
    m_viewWhenCreated->setObjectName("chkViewWhenCreated");
    layout->addRow(m_putInSubDir);
    layout->addRow(m_showBorder);
    layout->addRow(buddyLabel("&Frame Width:", m_frameWidth), m_frameWidth);
    layout->addRow(m_viewWhenCreated);
    return box;
}

QWidget* TfrmTreeOptions::buildPaneGroup() {
    auto* box = new QGroupBox("Contents Pane ", this);
    box->setObjectName("grpContentsPane");
    auto* layout = new QGridLayout(box);
    m_treeTitle = new QLineEdit(box);
    m_treeTitle->setObjectName("edtTreeTitle");
    m_treeTitle->setMinimumWidth(180);
    layout->addWidget(buddyLabel("Contents Tree &Title:", m_treeTitle), 0, 0);
    layout->addWidget(m_treeTitle, 0, 1, 1, 2);

    m_bgImage = new QLineEdit(box);
    m_bgImage->setObjectName("edtBgImage");
    m_bgImage->setReadOnly(true);
    connect(m_bgImage, &QLineEdit::textChanged, m_bgImage, &QLineEdit::setToolTip);
    auto* pickImage = new QPushButton("...", box);
    pickImage->setObjectName("btnBgImage");
    pickImage->setFixedWidth(28);
    connect(pickImage, &QPushButton::clicked, this, &TfrmTreeOptions::pickImage);
    layout->addWidget(buddyLabel("&Image:", m_bgImage), 1, 0);
    layout->addWidget(m_bgImage, 1, 1);
    layout->addWidget(pickImage, 1, 2);

    m_colourField = new QLabel(box);
    m_colourField->setObjectName("pnlBgColor");
    m_colourField->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_colourField->setAutoFillBackground(true);
    m_colourField->setMinimumHeight(22);
    m_colourField->installEventFilter(this);
    auto* pickColour = new QPushButton("...", box);
    pickColour->setObjectName("btnBgColor");
    pickColour->setFixedWidth(28);
    connect(pickColour, &QPushButton::clicked, this, &TfrmTreeOptions::pickColour);
    layout->addWidget(new QLabel("Colour:", box), 2, 0);
    layout->addWidget(m_colourField, 2, 1);
    layout->addWidget(pickColour, 2, 2);
    layout->setColumnStretch(1, 1);
    return box;
}

QWidget* TfrmTreeOptions::buildIconGroup(const std::string& dataDir) {
    auto* box = new QGroupBox("Icons ", this);
    box->setObjectName("grpIcons");
    auto* layout = new QVBoxLayout(box);
    m_iconSets = addChoices(box, layout, kIconSets, 7);
    // Each set shows its closed and open folder, as the tree will.
    const QDir icons(QString::fromStdString(dataDir) + "/Icons");
    for (int i = 0; i < 7 && !dataDir.empty(); ++i) {
        const QString folder =
            QString::fromStdString(std::string(iconSetFolder(static_cast<IconSet>(i))));
        QPixmap pair(38, 18);
        pair.fill(Qt::transparent);
        QPainter painter(&pair);
        painter.drawPixmap(0, 0, QPixmap(icons.filePath(folder + "/plus.gif")));
        painter.drawPixmap(19, 0, QPixmap(icons.filePath(folder + "/fol_clos.gif")));
        painter.end();
        m_iconSets->button(i)->setIcon(QIcon(pair));
        m_iconSets->button(i)->setIconSize(pair.size());
    }
    return box;
}

QLineEdit* TfrmTreeOptions::addNumberBox(const char* name) {
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    box->setMaxLength(3);
    box->setMaximumWidth(60);
    box->installEventFilter(this);
    return box;
}

bool TfrmTreeOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_colourField && event->type() == QEvent::MouseButtonRelease) {
        pickColour();
        return true;
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && box->maxLength() == 3 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Keys without a character (arrows, Tab, Enter, Delete) keep their usual work.
        if (key->key() == Qt::Key_Backspace || text.isEmpty() || !text[0].isPrint())
            return QDialog::eventFilter(watched, event);
        const char typed = text[0].unicode() < 128 ? char(text[0].unicode()) : '?';
        if (text.size() != 1 || !acceptsNumberKey(typed, size_t(box->text().size()),
                                                  size_t(box->selectedText().size()))) {
            m_messages.beep();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmTreeOptions::showOptions(const TreeOptions& o) {
    m_formats->button(int(o.format))->setChecked(true);
    m_appletHeight->setText(QString::fromStdString(o.appletHeight));
    m_appletWidth->setText(QString::fromStdString(o.appletWidth));
    m_treeTitle->setText(QString::fromStdString(o.treeTitle));
    m_putInSubDir->setChecked(o.putInSubDir);
    m_showBorder->setChecked(o.showBorder);
    m_frameWidth->setText(QString::fromStdString(o.frameWidth));
    m_bgImage->setText(QString::fromStdString(o.bgImage));
    m_viewWhenCreated->setChecked(o.viewWhenCreated);
    setColour(o.bgColor);
    m_styles->button(o.style1 ? 0 : 1)->setChecked(true);
    m_iconSets->button(int(o.iconSet))->setChecked(true);
    formatChanged();
}

TreeOptions TfrmTreeOptions::options() const {
    TreeOptions o;
    o.format = static_cast<TreeFormat>(std::max(m_formats->checkedId(), 0));
    o.appletHeight = m_appletHeight->text().toStdString();
    o.appletWidth = m_appletWidth->text().toStdString();
    o.treeTitle = m_treeTitle->text().toStdString();
    o.putInSubDir = m_putInSubDir->isChecked();
    o.showBorder = m_showBorder->isChecked();
    o.frameWidth = m_frameWidth->text().toStdString();
    o.bgImage = m_bgImage->text().toStdString();
    o.viewWhenCreated = m_viewWhenCreated->isChecked();
    o.bgColor = m_bgColour;
    o.style1 = m_styles->checkedId() != 1;
    o.iconSet = static_cast<IconSet>(std::max(m_iconSets->checkedId(), 0));
    return o;
}

void TfrmTreeOptions::formatChanged() {
    const auto format = static_cast<TreeFormat>(std::max(m_formats->checkedId(), 0));
    m_appletGroup->setVisible(showsAppletGroup(format));
    m_styleGroup->setVisible(!showsAppletGroup(format));
    for (QAbstractButton* button : m_styles->buttons())
        button->setEnabled(enablesLinkStyles(format));
}

void TfrmTreeOptions::pickImage() {
    const QString picked =
        FileDialogs::chooseOne(this, {FileRequest::OpenOne,
                                      "Select Conents Pane Background Image",
                                      QString::fromStdString(m_projectDir),
                                      "Graphic Files (*.gif, *.jpg, *.bmp) (*.gif *.jpg *.bmp)",
                                      {}});
    if (picked.isEmpty())
        return;
    std::string field;
    std::string message;
    if (!backgroundImageField(m_projectDir, picked.toStdString(), field, message)) {
        m_messages.showMessage(message, MessageKind::Error, MessageButtons::Ok);
        return;
    }
    m_bgImage->setText(QString::fromStdString(field));
}

void TfrmTreeOptions::pickColour() {
    const std::optional<Rgb> current = parseColourText(m_bgColour);
    const QColor initial =
        current ? QColor(current->red, current->green, current->blue) : QColor(Qt::white);
    const QColor chosen = colourChooser() ? colourChooser()(initial)
                                          : QColorDialog::getColor(initial, this, "Colour");
    if (!chosen.isValid())
        return;
    setColour(colourText({uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue())}));
}

void TfrmTreeOptions::setColour(const std::string& text) {
    m_bgColour = text;
    const std::optional<Rgb> rgb = parseColourText(text);
    QPalette palette = m_colourField->palette();
    palette.setColor(QPalette::Window,
                     rgb ? QColor(rgb->red, rgb->green, rgb->blue) : QColor(Qt::white));
    m_colourField->setPalette(palette);
    m_colourField->setToolTip(QString::fromStdString(text));
}

} // namespace qw
