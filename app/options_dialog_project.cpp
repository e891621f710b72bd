// The pages of Project Options and how their controls follow the ProjectOptions object.
#include "app/auto_sizer.h"
#include "app/file_dialogs.h"
#include "app/message_routine.h"
#include "app/options_dialog.h"
#include "core/ini_file.h"
#include "core/project_session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qw {

namespace {

/// A flag box: its page (0 General, 1 Layout, 2 Miscell, 3 Toolbar), caption and whether
/// it is kept hidden (its key is still read and written).
struct FlagControl {
    FlagBox box;
    int page;
    const char* caption;
    bool hidden;
};

constexpr FlagControl kFlagControls[] = {
    {FlagBox::ShowNavSearchTab, 0, "Show &Search Tab", false},
    {FlagBox::ShowNavAdvSearch, 0, "Use Ad&vanced Search", false},
    {FlagBox::ShowNavFavsTab, 0, "Show &Favourites Tab", false},
    {FlagBox::ShowNavHistTab, 0, "Show History Tab", true},
    {FlagBox::ShowNavigatorPane, 1, "Show Navigator &Pane", false},
    {FlagBox::AutoHideNav, 1, "Auto Hide Navigator Pane", false},
    {FlagBox::AutoSync, 1, "AutoSync", false},
    {FlagBox::WinStayOnTop, 1, "Stay On Top", false},
    {FlagBox::WinNoResize, 1, "Non Resizable", false},
    {FlagBox::SaveUserSize, 1, "Save &Users Size", false},
    {FlagBox::HideToolbar, 1, "Hide Toolbar", false},
    {FlagBox::ShowMenu, 1, "Show Menu", true},
    {FlagBox::DrawBoxes, 2, "Draw +/- Bo&xes", false},
    {FlagBox::DrawTreeLines, 2, "&Draw Tree Lines", false},
    {FlagBox::IndentTree, 2, "Indent Tree", false},
    {FlagBox::MouseOverStyle, 2, "&Mouse Over Style", false},
    {FlagBox::AutoCloseChaps, 2, "Auto &Close Chapters", false},
    {FlagBox::ShowInsetFrame, 2, "Show Inset F&rame", false},
    {FlagBox::HideShowNav, 3, "&Hide/Show Nav", false},
    {FlagBox::Back, 3, "&Back", false},
    {FlagBox::Forward, 3, "&Forward", false},
    {FlagBox::Stop, 3, "&Stop", false},
    {FlagBox::Refresh, 3, "&Refresh", false},
    {FlagBox::Locate, 3, "&Locate", false},
    {FlagBox::Options, 3, "&Options", false},
    {FlagBox::Print, 3, "&Print", false},
    {FlagBox::Font, 3, "Fo&nt", false},
    {FlagBox::NextPrevTBBtns, 3, "&Next/Previous", false},
    {FlagBox::UseSmallTBar, 3, "Use Small Toolbar Buttons", false},
    {FlagBox::UseHomeButton, 3, "Ho&me Page:", false},
    {FlagBox::UseCustomButton, 3, "&Custom Page:", false},
};

const char* const kImageFilter = "Graphic Files (*.gif, *.jpg, *.bmp) (*.gif *.jpg *.bmp)";

} // namespace

void TfrmOptions::buildProjectPages() {
    buildGeneralPage();
    buildLayoutPage();
    buildMiscellPage();
    buildToolbarPage();
    buildAdditionalPage();
}

void TfrmOptions::addFlagBoxes(QWidget* page, int pageIndex) {
    for (const FlagControl& c : kFlagControls) {
        if (c.page != pageIndex)
            continue;
        QCheckBox* box =
            addBox(page, (std::string("chk") + flagBoxInfo(c.box).key).c_str(), c.caption);
        box->setVisible(!c.hidden);
        m_flags[c.box] = box;
    }
}

void TfrmOptions::buildGeneralPage() {
    QWidget* page = addPage("tabGeneral", "General");
    addEdit(page, "edTitleBarText", "Title &Bar Text:");
    addPageList(page, "cmbDefaultPage", "&Default Page:");
    addBox(page, "chkUseStyleSheet", "Use &Default Style Sheet");
    addBox(page, "chkCreateContextIDs", "Create Context Help IDs*")->hide();
    QComboBox* language = addPageList(page, "cmbLanguage", "&Language:");
    language->setEditable(false);
    language->addItem("0x809 English (United Kingdom)");
    language->hide();
    page->findChild<QLabel*>("lblLanguage")->hide();
    addBox(page, "chkShowNavIndexTab", "Show &Index Tab");
    addFlagBoxes(page, 0);
    m_tabsTop = new QRadioButton("Align Tabs On Top", page);
    m_tabsTop->setObjectName("rbTabsOnTop");
    m_tabsBottom = new QRadioButton("Align Tabs On Bottom", page);
    m_tabsBottom->setObjectName("rbTabsOnBottom");
    m_tabsSide = new QRadioButton("Align Tabs On Side", page);
    m_tabsSide->setObjectName("rbTabsOnSide");
    m_tabsSide->hide();
    for (QRadioButton* b : {m_tabsTop, m_tabsBottom, m_tabsSide})
        page->layout()->addWidget(b);
    m_fontSpec = new QLabel(page);
    m_fontSpec->setObjectName("lblNavFont");
    page->layout()->addWidget(new QLabel("Navigator Font:", page));
    page->layout()->addWidget(m_fontSpec);
    m_fontButton = addButton(page, "btnSetFont", "Set...");
    m_fontButton->setContextMenuPolicy(Qt::CustomContextMenu);
    static_cast<QVBoxLayout*>(page->layout())->addStretch();
}

void TfrmOptions::buildLayoutPage() {
    QWidget* page = addPage("tabLayout", "Layout*");
    addFlagBoxes(page, 1);
    addBox(page, "chkToolWindowStyle", "T&ool Window Style");
    addBox(page, "chkIndentedTBar", "Ind&ented Window Border");
    addBox(page, "chkShowWinMaximised", "Set As Current Screen Size");
    const std::pair<const char*, const char*> sizes[] = {
        {"edWindowHeight", "&Height:"},
        {"edWindowWidth", "&Width:"},
        {"edWindowTop", "&Top:"},
        {"edWindowLeft", "&Left:"},
        {"edNavPaneWidth", "&Navigator Pane Width:"}};
    for (size_t i = 0; i < std::size(sizes); ++i) {
        QLineEdit* box = addEdit(page, sizes[i].first, sizes[i].second);
        box->setMaxLength(sizeBoxMaxDigits(SizeBox(i)));
        box->installEventFilter(this);
        m_sizeBoxes[box] = SizeBox(i);
    }
    addButton(page, "btnAutoSizer", "AutoSi&zer...");
    static_cast<QVBoxLayout*>(page->layout())->addStretch();
}

void TfrmOptions::buildMiscellPage() {
    QWidget* page = addPage("tabMiscell", "Miscell*");
    addBox(page, "chkCreateBinaryTOC", "Create Binary Contents");
    addBox(page, "chkUserFolders", "Use Folders Not &Books");
    addFlagBoxes(page, 2);
    addBox(page, "chkAddPrevNextLinks", "&Add Previous/Next Page Links");
    addBox(page, "chkUsePrevNextImages", "&Use Images For Previous/Next Page Links");
    addEdit(page, "edNextPageImage", "'Next Page' Image:")->setReadOnly(true);
    addPickButton(page, "btnNextPageImage")->setToolTip("Select Graphic For 'Next Page' Link");
    addEdit(page, "edPrevPageImage", "'Previous Page' Image:")->setReadOnly(true);
    addPickButton(page, "btnPrevPageImage")->setToolTip("Select Graphic For 'Previous Page' Link");
    addEdit(page, "edTopicFooter", "Enter HTML Code for Topic &Footer:");
    static_cast<QVBoxLayout*>(page->layout())->addStretch();
}

void TfrmOptions::buildToolbarPage() {
    QWidget* page = addPage("tabToolbar", "Toolbar*");
    addFlagBoxes(page, 3);
    // The home and custom page boxes head the rows of their page lists.
    for (const auto& [box, list] : {std::pair{FlagBox::UseHomeButton, "cmbHomeBtnPage"},
                                    std::pair{FlagBox::UseCustomButton, "cmbCustomBtnPage"}}) {
        addPageList(page, list, "");
        delete m_lastRow->itemAt(0)->widget();
        QCheckBox* check = m_flags.at(box);
        page->layout()->removeWidget(check);
        m_lastRow->insertWidget(0, check);
    }
    addEdit(page, "edCustomBtnCaption", "C&aption:");
    static_cast<QVBoxLayout*>(page->layout())->addStretch();
}

void TfrmOptions::buildAdditionalPage() {
    QWidget* page = addPage("tabAdditional", "Additional");
    page->layout()->addWidget(new QLabel("&Additional Files*:", page));
    m_additional = new QListWidget(page);
    m_additional->setObjectName("lstAdditionalFiles");
    m_additional->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    page->layout()->addWidget(m_additional);
    addButton(page, "btnAdd", "Add");
    addButton(page, "btnDelete", "Delete");
}

void TfrmOptions::connectProjectControls() {
    for (const auto& [box, check] : m_flags)
        connect(check, &QCheckBox::toggled, this,
                [this, b = box](bool on) { flagBoxChanged(b, on); });
    const auto onBox = [this](const char* name, auto apply) {
        connect(m_boxes.at(name), &QCheckBox::toggled, this, [this, apply](bool on) {
            if (m_showing)
                return;
            apply(on);
            showProject();
        });
    };
    ProjectOptions& o = m_project;
    onBox("chkUseStyleSheet", [&o](bool on) { o.useStyleSheet = on; });
    onBox("chkCreateContextIDs", [&o](bool on) { o.createContextIds = on; });
    onBox("chkShowNavIndexTab", [&o](bool on) { o.showNavIndexTab = on; });
    onBox("chkToolWindowStyle", [&o](bool on) { o.toolWindowStyle = on; });
    onBox("chkIndentedTBar", [&o](bool on) { o.indentedBorder = on; });
    onBox("chkUserFolders", [&o](bool on) { o.userFolders = on; });
    onBox("chkUsePrevNextImages", [&o](bool on) { o.usePrevNextImages = on; });
    onBox("chkAddPrevNextLinks", [&o](bool on) { o.setAddPrevNextLinks(on); });
    onBox("chkCreateBinaryTOC", [this](bool on) { m_project.setCreateBinaryToc(on, m_messages); });
    onBox("chkShowWinMaximised", [this](bool on) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        m_project.setCurrentScreenSize(on, screen.width(), screen.height());
    });
    const std::pair<const char*, std::string ProjectOptions::*> texts[] = {
        {"edTitleBarText", &ProjectOptions::titleBarText},
        {"edCustomBtnCaption", &ProjectOptions::customBtnCaption},
        {"edTopicFooter", &ProjectOptions::topicFooter},
        {"edWindowHeight", &ProjectOptions::windowHeight},
        {"edWindowWidth", &ProjectOptions::windowWidth},
        {"edWindowTop", &ProjectOptions::windowTop},
        {"edWindowLeft", &ProjectOptions::windowLeft},
        {"edNavPaneWidth", &ProjectOptions::navPaneWidth}};
    for (const auto& [name, member] : texts)
        connect(m_edits.at(name), &QLineEdit::textEdited, this,
                [this, m = member](const QString& text) { m_project.*m = text.toStdString(); });
    for (const auto& [box, size] : m_sizeBoxes)
        connect(box, &QLineEdit::editingFinished, this, [this, b = box] { sizeBoxLeft(b); });
    const std::pair<const char*, std::string ProjectOptions::*> lists[] = {
        {"cmbDefaultPage", &ProjectOptions::defaultPage},
        {"cmbHomeBtnPage", &ProjectOptions::homeBtnPage},
        {"cmbCustomBtnPage", &ProjectOptions::customBtnPage}};
    for (const auto& [name, member] : lists)
        connect(m_pageLists.at(name), &QComboBox::currentTextChanged, this,
                [this, m = member](const QString& text) {
                    if (!m_showing)
                        m_project.*m = text.toStdString();
                });
    connect(m_pageLists.at("cmbLanguage"), &QComboBox::currentIndexChanged, this,
            [this](int index) {
                if (!m_showing)
                    m_project.language = std::max(index, 0);
            });
    for (QRadioButton* b : {m_tabsTop, m_tabsBottom, m_tabsSide})
        connect(b, &QRadioButton::toggled, this, [this] {
            if (m_showing)
                return;
            m_project.setTabPosition(m_tabsSide->isChecked()     ? TabPosition::Side
                                     : m_tabsBottom->isChecked() ? TabPosition::Bottom
                                                                 : TabPosition::Top);
        });
    connect(m_fontButton, &QPushButton::clicked, this, &TfrmOptions::pickFont);
    connect(m_fontButton, &QPushButton::customContextMenuRequested, this, [this] {
        m_project.font.name = NavigatorFont().name;
        showProject();
    });
    connect(findChild<QPushButton*>("btnNextPageImage"), &QPushButton::clicked, this, [this] {
        pickImage(m_edits.at("edNextPageImage"), "Select Graphic For 'Next Page' Link");
    });
    connect(findChild<QPushButton*>("btnPrevPageImage"), &QPushButton::clicked, this, [this] {
        pickImage(m_edits.at("edPrevPageImage"), "Select Graphic For 'Previous Page' Link");
    });
    connect(findChild<QPushButton*>("btnAutoSizer"), &QPushButton::clicked, this,
            &TfrmOptions::openAutoSizer);
    connect(findChild<QPushButton*>("btnAdd"), &QPushButton::clicked, this,
            &TfrmOptions::addAdditional);
    connect(findChild<QPushButton*>("btnDelete"), &QPushButton::clicked, this,
            &TfrmOptions::deleteAdditional);
}

void TfrmOptions::flagBoxChanged(FlagBox box, bool on) {
    if (m_showing)
        return;
    switch (box) {
    case FlagBox::ShowNavSearchTab:
        m_project.setShowSearchTab(on);
        break;
    case FlagBox::UseSmallTBar:
        m_project.setUseSmallToolbar(on, m_messages);
        break;
    case FlagBox::NextPrevTBBtns:
        m_project.setNextPrevButtons(on, m_messages);
        break;
    case FlagBox::UseCustomButton:
        m_project.setUseCustomButton(on);
        m_project.customBtnPage.clear();
        break;
    case FlagBox::UseHomeButton:
        m_project.setTicked(box, on);
        m_project.homeBtnPage.clear();
        break;
    default:
        m_project.setTicked(box, on, m_session.settings());
        break;
    }
    showProject();
}

void TfrmOptions::loadProject() {
    m_project.load(IniFile(m_session.projectPath()));
    m_project.confirmLoadedSmallToolbar(m_messages);
    m_lists.files = m_project.additionalFiles;
    const TopicTable& table = m_session.table();
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isTopicRow(r))
            m_lists.defaultPages.push_back(table.topicLinkPath(r));
    m_lists.customPages = m_lists.defaultPages;
    m_lists.homePages = m_lists.defaultPages;
    fillPageLists();
    showProject();
}

void TfrmOptions::fillPageLists() {
    m_showing = true;
    const std::pair<const char*, const std::vector<std::string>*> lists[] = {
        {"cmbDefaultPage", &m_lists.defaultPages},
        {"cmbHomeBtnPage", &m_lists.homePages},
        {"cmbCustomBtnPage", &m_lists.customPages}};
    for (const auto& [name, items] : lists) {
        QComboBox* list = m_pageLists.at(name);
        const QString text = list->currentText();
        list->clear();
        for (const std::string& item : *items)
            list->addItem(QString::fromStdString(item));
        list->setCurrentIndex(-1);
        list->setEditText(text);
    }
    m_additional->clear();
    for (const std::string& file : m_lists.files)
        m_additional->addItem(QString::fromStdString(file));
    m_showing = false;
}

void TfrmOptions::showProject() {
    m_showing = true;
    const ProjectOptions& o = m_project;
    for (const auto& [box, check] : m_flags)
        check->setChecked(o.ticked(box));
    const std::pair<const char*, bool> boxes[] = {
        {"chkUseStyleSheet", o.useStyleSheet},       {"chkCreateContextIDs", o.createContextIds},
        {"chkShowNavIndexTab", o.showNavIndexTab},   {"chkToolWindowStyle", o.toolWindowStyle},
        {"chkIndentedTBar", o.indentedBorder},       {"chkShowWinMaximised", o.showWinMaximised},
        {"chkCreateBinaryTOC", o.createBinaryToc},   {"chkUserFolders", o.userFolders},
        {"chkAddPrevNextLinks", o.addPrevNextLinks}, {"chkUsePrevNextImages", o.usePrevNextImages}};
    for (const auto& [name, on] : boxes)
        m_boxes.at(name)->setChecked(on);
    const std::pair<const char*, const std::string*> texts[] = {
        {"edTitleBarText", &o.titleBarText},   {"edCustomBtnCaption", &o.customBtnCaption},
        {"edTopicFooter", &o.topicFooter},     {"edWindowHeight", &o.windowHeight},
        {"edWindowWidth", &o.windowWidth},     {"edWindowTop", &o.windowTop},
        {"edWindowLeft", &o.windowLeft},       {"edNavPaneWidth", &o.navPaneWidth},
        {"edNextPageImage", &o.nextPageImage}, {"edPrevPageImage", &o.prevPageImage}};
    for (const auto& [name, text] : texts)
        if (m_edits.at(name)->text().toStdString() != *text)
            m_edits.at(name)->setText(QString::fromStdString(*text));
    const std::pair<const char*, const std::string*> lists[] = {
        {"cmbDefaultPage", &o.defaultPage},
        {"cmbHomeBtnPage", &o.homeBtnPage},
        {"cmbCustomBtnPage", &o.customBtnPage}};
    for (const auto& [name, text] : lists)
        if (m_pageLists.at(name)->currentText().toStdString() != *text) {
            m_pageLists.at(name)->setCurrentIndex(-1);
            m_pageLists.at(name)->setEditText(QString::fromStdString(*text));
        }
    m_pageLists.at("cmbLanguage")->setCurrentIndex(o.language == 0 ? 0 : -1);
    m_tabsTop->setChecked(o.tabPosition() == TabPosition::Top);
    m_tabsBottom->setChecked(o.tabPosition() == TabPosition::Bottom);
    m_tabsSide->setChecked(o.tabPosition() == TabPosition::Side);

    m_flags.at(FlagBox::ShowNavAdvSearch)->setEnabled(o.advancedSearchEnabled());
    m_boxes.at("chkUsePrevNextImages")->setEnabled(o.imageLinksEnabled());
    for (const char* name : {"edNextPageImage", "lblNextPageImage", "btnNextPageImage",
                             "edPrevPageImage", "lblPrevPageImage", "btnPrevPageImage"})
        findChild<QWidget*>(name)->setEnabled(o.imageBoxesEnabled());
    for (const char* name :
         {"edWindowHeight", "lblWindowHeight", "edWindowWidth", "lblWindowWidth", "edWindowTop",
          "lblWindowTop", "edWindowLeft", "lblWindowLeft", "btnAutoSizer"})
        findChild<QWidget*>(name)->setEnabled(o.sizeBoxesEnabled());
    const bool custom = o.ticked(FlagBox::UseCustomButton);
    for (const char* name : {"cmbCustomBtnPage", "lblCustomBtnCaption", "edCustomBtnCaption"})
        findChild<QWidget*>(name)->setEnabled(custom);
    m_pageLists.at("cmbHomeBtnPage")->setEnabled(o.ticked(FlagBox::UseHomeButton));

    m_fontSpec->setText(QString::fromStdString(o.fontSpec()));
    m_fontButton->setToolTip(QString::fromStdString(navigatorFontHint(o.font)).replace('|', '\n'));
    m_showing = false;
}

void TfrmOptions::sizeBoxLeft(QLineEdit* box) {
    const SizeBox which = m_sizeBoxes.at(box);
    std::string* const values[] = {&m_project.windowHeight, &m_project.windowWidth,
                                   &m_project.windowTop, &m_project.windowLeft,
                                   &m_project.navPaneWidth};
    *values[size_t(which)] = sizeBoxOnExit(which, box->text().toStdString());
    showProject();
}

void TfrmOptions::openAutoSizer() {
    TfrmAutoSizer sizer(SizerValues::fromOptions(m_project), this);
    if (sizer.exec() != QDialog::Accepted)
        return;
    sizer.values().applyTo(m_project, m_session.settings());
    showProject();
}

void TfrmOptions::pickImage(QLineEdit* box, const QString& title) {
    const QString dir = QString::fromStdString(m_session.projectDir());
    const QString picked =
        FileDialogs::chooseOne(this, {FileRequest::OpenOne, title, dir, kImageFilter, {}});
    if (picked.isEmpty())
        return;
    const std::string relative =
        relativeImagePath(picked.toStdString(), m_session.projectDir(), m_messages);
    if (relative.empty())
        return;
    (box->objectName() == "edNextPageImage" ? m_project.nextPageImage : m_project.prevPageImage) =
        relative;
    showProject();
}

void TfrmOptions::pickFont() {
    const NavigatorFont& current = m_project.font;
    QFont initial;
    if (current.name != NavigatorFont().name) {
        initial = QFont(QString::fromStdString(current.name), current.size);
        initial.setBold(current.bold);
        initial.setItalic(current.italic);
    }
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, this);
    if (!ok)
        return;
    m_project.font.name = font.family().toStdString();
    m_project.font.size = font.pointSize() > 0 ? font.pointSize() : current.size;
    m_project.font.bold = font.bold();
    m_project.font.italic = font.italic();
    showProject();
}

void TfrmOptions::addAdditional() {
    const QStringList picked = FileDialogs::choose(
        this, {FileRequest::OpenMany,
               "Choose Additional Files to Add",
               QString::fromStdString(m_session.projectDir()),
               "HTML Files (*.htm, *.html) (*.htm *.html);;Graphic Files (*.jpg, *.gif) "
               "(*.jpg *.gif);;All Files (*.*) (*)",
               {}});
    std::vector<std::string> files;
    for (const QString& file : picked)
        files.push_back(file.toStdString());
    addAdditionalFiles(m_lists, files, m_session.projectDir(), m_messages);
    fillPageLists();
}

void TfrmOptions::deleteAdditional() {
    const int next = deleteAdditionalFile(m_lists, m_additional->currentRow());
    fillPageLists();
    m_additional->setCurrentRow(next);
}

} // namespace qw
