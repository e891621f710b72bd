#pragma once

#include "core/sfx_marker.h"
#include "core/tool_settings.h"
#include "tools/tool_environment.h"

#include <QWidget>

class QMenu;
class QToolButton;

namespace qw {

class KeyTyper;
class TfrmSpecialEffects;
class ToolMessages;

/// The SFX toolbar: a small frameless bar that stays on top beside the author's editor
/// without ever taking the focus from it, and types separator blocks and special-effect
/// markers into the editor window.
class TfrmSfxToolbar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 23;
    static constexpr int kButtonSize = 22;

    TfrmSfxToolbar(ToolEnvironment environment, ToolMessages& messages, KeyTyper& typer,
                   QWidget* parent = nullptr);

    /// Shows the toolbar at its stored place; asks for the target window at once when
    /// none is set.
    void startUp();

    /// Types key sender text into the target window, then waits 100 ms and comes back on
    /// top. False, after telling the author, when the target window is missing (nothing
    /// was typed) or typing is impossible on this desktop.
    bool typeKeys(const std::string& text);
    /// The separator buttons: a topic separator block, with a keywords line for button 2.
    void typeSeparatorBlock(bool withKeywords);

    void mniSetTargetWindowClick();
    /// An item of the effect menu: asks for the effect's values and types its marker;
    /// after a section or block marker the caret keys select "<ADD HERE>".
    void effectChosen(SfxEffect effect);
    /// Starts a quick-launch command; "Cannot Open "program"" when that fails.
    void launch(const std::string& command);
    /// Where the button's menu opens, in screen coordinates.
    QPoint menuAnchor(const QToolButton* button) const;

    const SfxToolbarSettings& settings() const { return m_settings; }
    QMenu* settingsMenu() const { return m_settingsMenu; }
    QMenu* quickLaunchMenu() const { return m_launchMenu; }
    QMenu* effectsMenu() const { return m_effectsMenu; }
    TfrmSpecialEffects* effectsDialog() const { return m_effects; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* addButton(const QString& name, const QString& hint, const QString& glyph,
                           const QRect& place);
    void attachMenu(QToolButton* button, QMenu* menu);
    void buildQuickLaunchMenu(const std::vector<QuickLaunchItem>& items);
    void buildSettingsMenu();
    void buildEffectsMenu();
    void comeBackOnTop();
    void showHelp(const QString& page);

    ToolEnvironment m_environment;
    ToolMessages& m_messages;
    KeyTyper& m_typer;
    SfxToolbarSettings m_settings;
    std::string m_separator;
    TfrmSpecialEffects* m_effects;
    QMenu* m_effectsMenu;
    QMenu* m_launchMenu;
    QMenu* m_settingsMenu;
    QToolButton* m_moveButton = nullptr;
    QPoint m_pressPoint;
};

} // namespace qw
