#pragma once

#include "core/topic_list_choices.h"
#include "tools/tool_environment.h"

#include <QWidget>

#include <functional>

class QAction;
class QComboBox;
class QMenu;
class QToolButton;

namespace qw {

class ToolMessages;

/// The Topic Filenames List toolbar: a drop-down of a project's topic page names, kept on
/// top beside the editor; choosing a name puts it on the clipboard.
class TfrmTflToolbar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 29;
    static constexpr int kMinWidth = 80;
    static constexpr int kMaxWidth = 350;

    TfrmTflToolbar(ToolEnvironment environment, ToolMessages& messages, QWidget* parent = nullptr);

    /// Shows the toolbar and loads `listFile` when it names an existing ".tfl" file.
    void startUp(const QString& listFile);
    /// Loads a list file; says so and keeps the list when it is missing.
    void loadList(const QString& path);
    /// A click on line `index` of the drop-down.
    void chooseLine(int index);
    void mniOpenListClick();
    void mniSetListSizeClick();
    void mniHideChapterTitlesClick();

    /// Replace the file and input dialogs (tests): the open dialog's answer (empty for
    /// Cancel) and the list size question's answer (nullopt for Cancel).
    void setOpenDialog(std::function<QString()> dialog) { m_openDialog = std::move(dialog); }
    void setSizeDialog(std::function<std::optional<QString>(int)> dialog) {
        m_sizeDialog = std::move(dialog);
    }

    QComboBox* list() const { return m_list; }
    QMenu* menu() const { return m_menu; }
    QMenu* recentMenu() const { return m_recentMenu; }
    QAction* hideAction() const { return m_hideAction; }
    const TflToolbarSettings& settings() const { return m_settings; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    void showLines();
    void refreshRecentLists();

    ToolEnvironment m_environment;
    ToolMessages& m_messages;
    TflToolbarSettings m_settings;
    TopicListChoices m_choices;
    QString m_loadedPath;
    QComboBox* m_list;
    QToolButton* m_moveButton;
    QToolButton* m_menuButton;
    QMenu* m_menu;
    QMenu* m_recentMenu;
    QAction* m_hideAction = nullptr;
    QPoint m_pressPoint;
    std::function<QString()> m_openDialog;
    std::function<std::optional<QString>(int)> m_sizeDialog;
};

} // namespace qw
