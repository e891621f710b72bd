#include "tools/sfx_toolbar.h"

#include "core/ini_file.h"
#include "core/separator_keys.h"
#include "core/text_util.h"
#include "tools/key_typer.h"
#include "tools/set_target_window_dialog.h"
#include "tools/special_effects.h"
#include "tools/tool_messages.h"
#include "tools/toolbar_glyphs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace qw {

namespace {

const char* const kTargetNotFound = "Error: Can't find Target Window.";

} // namespace

TfrmSfxToolbar::TfrmSfxToolbar(ToolEnvironment environment, ToolMessages& messages, KeyTyper& typer,
                               QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      m_environment(std::move(environment)), m_messages(messages), m_typer(typer),
      m_effects(new TfrmSpecialEffects(messages, QCoreApplication::applicationDirPath(), this)),
      m_effectsMenu(new QMenu(this)), m_launchMenu(new QMenu(this)),
      m_settingsMenu(new QMenu(this)) {
    setObjectName("TfrmSfxToolbar");
    setWindowTitle("SFX ToolBar");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    const IniFile config(m_environment.configFile, IniFile::Unreadable::UseDefaults);
    m_settings = readSfxToolbarSettings(config);
    m_separator = readTopicSeparator(config);

    const int s = kButtonSize;
    auto* sbtn1 = addButton("sbtn1", "-------------------\nTitle=''\n-------------------",
                            "separator", QRect(0, 0, s, s));
    auto* sbtn2 =
        addButton("sbtn2", "-------------------\nTitle=''\nKeywords=''\n-------------------",
                  "separatorKeywords", QRect(s, 0, s, s));
    auto* sbtnSFX = addButton("sbtnSFX", "Special Effects", "effects", QRect(2 * s, 0, s, s));
    auto* sbtnQuickLauncher =
        addButton("sbtnQuickLauncher", "Quick Launcher", "launcher", QRect(3 * s, 0, s, s));
    const int rest = std::max(8, m_settings.width - 4 * s);
    m_moveButton = addButton("sbtnMove", "Move Toolbar", "move", QRect(4 * s, 0, rest, 11));
    auto* sbtnSettings = addButton("sbtnSettings", "Settings Menu / Close", "menu",
                                   QRect(4 * s, 11, rest, kHeight - 11));
    m_moveButton->installEventFilter(this);
    connect(sbtn1, &QToolButton::clicked, this, [this] { typeSeparatorBlock(false); });
    connect(sbtn2, &QToolButton::clicked, this, [this] { typeSeparatorBlock(true); });

    m_effectsMenu->setObjectName("pmnuEffects");
    m_launchMenu->setObjectName("pmnuQuickLauncher");
    m_settingsMenu->setObjectName("pmnuSettings");
    buildEffectsMenu();
    buildQuickLaunchMenu(quickLaunchItems(config));
    connect(m_effects, &TfrmSpecialEffects::helpRequested, this, &TfrmSfxToolbar::showHelp);
    buildSettingsMenu();
    attachMenu(sbtnSFX, m_effectsMenu);
    attachMenu(sbtnQuickLauncher, m_launchMenu);
    attachMenu(sbtnSettings, m_settingsMenu);
    setFixedSize(m_settings.width, kHeight);
}

QToolButton* TfrmSfxToolbar::addButton(const QString& name, const QString& hint,
                                       const QString& glyph, const QRect& place) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(toolbarGlyph(glyph, place.height() > 12 ? 16 : 8));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(place);
    return button;
}

void TfrmSfxToolbar::attachMenu(QToolButton* button, QMenu* menu) {
    auto anchor = std::make_shared<QPoint>();
    connect(button, &QToolButton::pressed, this, [this, button, anchor] {
        comeBackOnTop();
        *anchor = menuAnchor(button);
    });
    connect(button, &QToolButton::clicked, this, [menu, anchor] { menu->popup(*anchor); });
}

QPoint TfrmSfxToolbar::menuAnchor(const QToolButton* button) const {
    const QScreen* screen = this->screen();
    const int screenWidth = screen ? screen->geometry().right() + 1 : 0;
    const int x = menuAnchorX(pos().x(), button->x(), button->height(), screenWidth);
    return mapToGlobal(QPoint(x, button->geometry().bottom() + 1));
}

void TfrmSfxToolbar::buildQuickLaunchMenu(const std::vector<QuickLaunchItem>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (i == 3)
            m_launchMenu->addSeparator();
        const std::string command = items[i].command;
        m_launchMenu->addAction(QString::fromStdString(items[i].caption), this,
                                [this, command] { launch(command); });
    }
}

void TfrmSfxToolbar::buildEffectsMenu() {
    const char* const captions[kSfxEffectCount] = {
        "&PopUp Text",       "Secondary &Window",      "&Expandable Section", "Shortcut &Button",
        "&Page Transitions", "&Splash Screen",         "&Typing Text",        "Popup &Hint",
        "High&lighted Text", "Block Background &Image"};
    for (int e = 0; e < kSfxEffectCount; ++e)
        m_effectsMenu->addAction(captions[e], this, [this, e] { effectChosen(SfxEffect(e)); });
}

void TfrmSfxToolbar::effectChosen(SfxEffect effect) {
    const std::optional<std::string> marker = m_effects->runEffect(effect);
    m_settings.effectsLeft = m_effects->x();
    m_settings.effectsTop = m_effects->y();
    if (!marker || !typeKeys(*marker))
        return;
    if (selectsPlaceholder(effect))
        typeKeys(addHereSelectionKeys());
}

void TfrmSfxToolbar::buildSettingsMenu() {
    m_settingsMenu->addAction("&Set Target Window", this, &TfrmSfxToolbar::mniSetTargetWindowClick);
    m_settingsMenu->addSeparator();
    m_settingsMenu->addAction("&Help", this, [this] { showHelp("stb_overview.htm"); });
    m_settingsMenu->addAction("&About", this, [this] {
        m_messages.show(ToolMessages::Kind::Information,
                        "- SFX ToolBar V1.1\r\n- Companion to HTMLHelp Quirewright.");
        comeBackOnTop();
    });
    m_settingsMenu->addSeparator();
    m_settingsMenu->addAction("E&xit", this, &QWidget::close);
}

void TfrmSfxToolbar::startUp() {
    move(m_settings.left, m_settings.top);
    show();
    m_effects->move(m_settings.effectsLeft, m_settings.effectsTop);
    if (trim(m_settings.targetTitle).empty())
        QTimer::singleShot(0, this, &TfrmSfxToolbar::mniSetTargetWindowClick);
}

bool TfrmSfxToolbar::typeKeys(const std::string& text) {
    const KeyTyper::Result result = m_typer.typeText(m_settings.targetTitle, text);
    waitProcessingEvents(100);
    comeBackOnTop();
    if (result == KeyTyper::Result::TargetNotFound)
        m_messages.show(ToolMessages::Kind::Error, kTargetNotFound);
    else if (result == KeyTyper::Result::Unavailable)
        m_messages.show(ToolMessages::Kind::Error,
                        QString::fromStdString(m_typer.unavailableReason()));
    return result == KeyTyper::Result::Typed;
}

void TfrmSfxToolbar::typeSeparatorBlock(bool withKeywords) {
    for (const std::string& text : separatorButtonTexts(m_separator, withKeywords))
        if (!typeKeys(text))
            return;
}

void TfrmSfxToolbar::mniSetTargetWindowClick() {
    SetTargetWindowDialog dialog(QString::fromStdString(m_settings.targetTitle), this);
    connect(&dialog, &SetTargetWindowDialog::helpRequested, this,
            [this] { showHelp("stb_setting_target_window.htm"); });
    if (dialog.exec() == QDialog::Accepted)
        m_settings.targetTitle = dialog.targetTitle().toStdString();
}

void TfrmSfxToolbar::launch(const std::string& command) {
    const LaunchCommand launchCommand =
        parseLaunchCommand(command, QCoreApplication::applicationDirPath().toStdString());
    if (!qw::launchCommand(launchCommand))
        m_messages.show(ToolMessages::Kind::Error,
                        "Cannot Open \"" + QString::fromStdString(launchCommand.program) + "\"");
}

void TfrmSfxToolbar::comeBackOnTop() {
    raise();
}

void TfrmSfxToolbar::showHelp(const QString& page) {
    openContextHelp(m_environment, page, m_messages);
}

bool TfrmSfxToolbar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_moveButton)
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        m_pressPoint = mouse->position().toPoint();
        return true;
    }
    if (event->type() == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton)) {
        move(pos() + mouse->position().toPoint() - m_pressPoint);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmSfxToolbar::closeEvent(QCloseEvent* event) {
    m_settings.left = x();
    m_settings.top = y();
    if (m_effects->isVisible())
        m_effects->reject();
    IniFile config(m_environment.configFile, IniFile::Unreadable::UseDefaults);
    try {
        writeSfxToolbarSettings(config, m_settings);
    } catch (const std::exception& error) {
        m_messages.show(ToolMessages::Kind::Error, QString::fromUtf8(error.what()));
    }
    event->accept();
}

} // namespace qw
