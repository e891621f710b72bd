// The pages of Environment Options and how their controls follow the EnvironmentSettings.
#include "app/file_dialogs.h"
#include "app/grid_icons.h"
#include "app/message_routine.h"
#include "app/options_dialog.h"
#include "core/colour_text.h"
#include "core/project_session.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qw {

namespace {

/// A check box of the environment: its page (0 Preferences, 1 Editor), name, caption and
/// the setting it shows.
struct EnvironmentBox {
    int page;
    const char* name;
    const char* caption;
    bool EnvironmentSettings::*member;
};

using E = EnvironmentSettings;

constexpr EnvironmentBox kEnvironmentBoxes[] = {
    {0, "chkDisableRightClick", "Disable &Right-Click Menu*", &E::disableRightClick},
    {0, "chkRemovePRETags", "Re&move <PRE> Tags", &E::removePreTags},
    {0, "chkReplaceQuotes", "Replace &&quot; &with \"", &E::replaceQuotes},
    {0, "chkSearchForPopups", "Search for Pop&Up Text", &E::searchForPopups},
    {0, "chkSearchForEffects", "Search for &Special Effects", &E::searchForEffects},
    {1, "chkShowGraphics", "Show &Graphics In Editor", &E::showGraphics},
    {1, "chkCenterTextInList", "Center Text In &Editor", &E::centerTextInList},
    {1, "chkAddFilePrefix", "Add Chapter &Prefix To Topic Filenames", &E::addFilePrefix},
    {1, "chkLCaseTopicFN", "&Lower Case Topic Filenames", &E::lcaseTopicFN},
    {1, "chkAutoRecalcTopicFN", "Recalculate Topic &Filename While Typing The Title",
     &E::autoRecalcTopicFN},
    {1, "chkAutoSaveProj", "&Auto Save Project When Switching Programs", &E::autoSaveProj},
    {1, "chkAutoReloadProj", "Auto &Reload Chapters Changed Outside", &E::autoReloadProj},
    {1, "chkBackupsChapters", "&Backup Chapter Files", &E::backupsChapters},
    {1, "chkAsyncEditing", "Edit Chapters As&ynchronously", &E::asyncEditing},
    {1, "chkAutoLaunchSFX", "Auto Launch S&FX Toolbar", &E::autoLaunchSfx},
    {1, "chkAutoLaunchTFL", "Auto Launch &Topic Filenames List", &E::autoLaunchTfl},
};

/// A text box of the environment and the setting it edits.
struct EnvironmentText {
    const char* name;
    std::string EnvironmentSettings::*member;
};

constexpr EnvironmentText kEnvironmentTexts[] = {
    {"edReplaceTitleText", &E::replaceTitleText}, {"edReplaceBgImgText", &E::replaceBgImgText},
    {"edReplaceColorText", &E::replaceColorText}, {"edDefaultBgColour", &E::defaultBgColour},
    {"edTopicSeparator", &E::topicSeparator},
};

} // namespace

void TfrmOptions::buildEnvironmentPages(const GridIcons* icons) {
    QWidget* page = addPage("tabPreferences", "Preferences");
    addEdit(page, "edReplaceTitleText", "&Title:")->setMaxLength(15);
    addEdit(page, "edReplaceBgImgText", "&BgImage:")->setMaxLength(15);
    addEdit(page, "edReplaceColorText", "B&gColour:")->setMaxLength(15);
    m_topicIcon = addPageList(page, "cmbDefaultTopicIcon", "To&pic Icon:");
    m_topicIcon->setEditable(false);
    for (int i = 0; i <= m_session.maxIconIndex(); ++i)
        m_topicIcon->addItem(icons ? QIcon(icons->icon(i)) : QIcon(), QString::number(i));
    addEdit(page, "edDefaultBgColour", "Background &Colour:")->setReadOnly(true);
    addPickButton(page, "btnDefaultBgColour");
    for (const EnvironmentBox& b : kEnvironmentBoxes)
        if (b.page == 0)
            addBox(page, b.name, b.caption);
    static_cast<QVBoxLayout*>(page->layout())->addStretch();

    page = addPage("tabEditor", "Editor");
    for (const EnvironmentBox& b : kEnvironmentBoxes)
        if (b.page == 1)
            addBox(page, b.name, b.caption);
    static_cast<QVBoxLayout*>(page->layout())->addStretch();

    page = addPage("tabSeparatorPaths", "Separator/Paths");
    addEdit(page, "edTopicSeparator", "Topic &Separator:");
    addBox(page, "chkUseHorzTuleTag", "&Use Horizontal Rule");
    buildPathBox(page, "edHTMLBrowserPath", "HTML Browser:", "Select 'HTML Browser' Program File",
                 &E::htmlBrowserPath);
    buildPathBox(page, "edHTMLEditorPath", "HTML Editor:", "Select 'HTML Editor' Program File",
                 &E::htmlEditorPath);
    buildPathBox(page, "edWYSIWYGEdPath",
                 "WYSIWYG HTML Editor:", "Select 'WYSIWYG HTML Editor' Program File",
                 &E::wysiwygEdPath);
    buildPathBox(page, "edHHWorkShopPath",
                 "HTML Help Workshop:", "Select 'HTML Workshop' Program File", &E::hhWorkShopPath);
    static_cast<QVBoxLayout*>(page->layout())->addStretch();
}

void TfrmOptions::buildPathBox(QWidget* page, const char* name, const char* caption,
                               const char* hint, std::string EnvironmentSettings::*member) {
    QLineEdit* box = addEdit(page, name, caption);
    box->setReadOnly(true);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    m_paths[box] = member;
    auto* menu = new QMenu(box);
    QAction* clear = menu->addAction("&Clear Path");
    clear->setObjectName("mniClearPath");
    connect(clear, &QAction::triggered, this, [this, member] {
        m_env.*member = std::string();
        showEnvironment();
    });
    connect(box, &QLineEdit::customContextMenuRequested, menu,
            [box, menu](QPoint at) { menu->exec(box->mapToGlobal(at)); });
    QPushButton* pick = addPickButton(page, (QString("btn") + (name + 2)).toUtf8().constData());
    pick->setToolTip(hint);
    connect(pick, &QPushButton::clicked, this, [this, member, hint] { pickProgram(member, hint); });
}

void TfrmOptions::connectEnvironmentControls() {
    for (const EnvironmentBox& b : kEnvironmentBoxes)
        connect(m_boxes.at(b.name), &QCheckBox::toggled, this, [this, m = b.member](bool on) {
            if (!m_showing)
                m_env.*m = on;
        });
    for (const EnvironmentText& t : kEnvironmentTexts)
        if (t.member != &E::topicSeparator)
            connect(m_edits.at(t.name), &QLineEdit::textEdited, this,
                    [this, m = t.member](const QString& text) { m_env.*m = text.toStdString(); });
    QLineEdit* separator = m_edits.at("edTopicSeparator");
    connect(separator, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_env.topicSeparator = text.toStdString(); });
    connect(separator, &QLineEdit::editingFinished, this, [this, separator] {
        m_env.setSeparatorText(separator->text().toStdString());
        showEnvironment();
    });
    connect(m_boxes.at("chkUseHorzTuleTag"), &QCheckBox::toggled, this, [this](bool on) {
        if (m_showing)
            return;
        m_env.setUseHorzRule(on);
        showEnvironment();
    });
    connect(m_topicIcon, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_showing && index >= 0)
            m_env.defaultTopicIcon = index;
    });
    connect(findChild<QPushButton*>("btnDefaultBgColour"), &QPushButton::clicked, this,
            &TfrmOptions::pickColour);
}

void TfrmOptions::showEnvironment() {
    m_showing = true;
    for (const EnvironmentBox& b : kEnvironmentBoxes)
        m_boxes.at(b.name)->setChecked(m_env.*b.member);
    for (const EnvironmentText& t : kEnvironmentTexts)
        if (m_edits.at(t.name)->text().toStdString() != m_env.*t.member)
            m_edits.at(t.name)->setText(QString::fromStdString(m_env.*t.member));
    m_boxes.at("chkUseHorzTuleTag")->setChecked(m_env.useHorzRuleTag);
    m_edits.at("edTopicSeparator")->setEnabled(!m_env.useHorzRuleTag);
    m_topicIcon->setCurrentIndex(std::min(m_env.defaultTopicIcon, m_topicIcon->count() - 1));
    for (const auto& [box, member] : m_paths) {
        box->setText(QString::fromStdString(m_env.*member));
        box->setToolTip(box->text());
    }
    m_showing = false;
}

void TfrmOptions::pickProgram(std::string EnvironmentSettings::*member, const QString& title) {
    // Programs here carry no ".exe"; the dialog starts where the current program lies.
    const QString current = QString::fromStdString(m_env.*member);
    const QString folder = current.isEmpty() ? QString() : QFileInfo(current).path();
    const QString picked = FileDialogs::chooseOne(
        this, {FileRequest::OpenOne, title, folder, "Program Files (*)", {}});
    if (picked.isEmpty())
        return;
    if (member == &E::hhWorkShopPath && !acceptWorkshopProgram(picked.toStdString(), m_messages))
        return;
    m_env.*member = picked.toStdString();
    showEnvironment();
}

void TfrmOptions::pickColour() {
    const std::optional<Rgb> current = parseColourText(m_env.defaultBgColour);
    const QColor initial =
        current ? QColor(current->red, current->green, current->blue) : QColor(Qt::white);
    const QColor chosen = QColorDialog::getColor(initial, this, "Background Colour");
    if (!chosen.isValid())
        return;
    m_env.defaultBgColour =
        colourText({uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue())});
    showEnvironment();
}

} // namespace qw
