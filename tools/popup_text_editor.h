#pragma once

#include "core/popup_editor_settings.h"
#include "core/popup_text_file.h"
#include "tools/tool_environment.h"

#include <QMainWindow>

#include <functional>
#include <optional>

class QAction;
class QTableWidget;

namespace qw {

class ToolMessages;

/// The Popup Text Editor: the pop-up text file as a table of references and texts, and
/// the font pop-ups are shown in.
class TfrmPopupTextEd : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kEntryRows = 199;

    TfrmPopupTextEd(ToolEnvironment environment, ToolMessages& messages, QWidget* parent = nullptr);

    void mniNewClick();
    void mniOpenClick();
    /// Returns false when nothing was written (no file chosen, or writing failed).
    bool mniSaveClick();
    void mniFontClick();
    /// Opens a file without asking for it (the file named on the command line).
    void openFile(const QString& path);

    /// Replace the file and font dialogs (tests); an empty answer or nullopt is Cancel.
    void setOpenDialog(std::function<QString()> dialog) { m_openDialog = std::move(dialog); }
    void setSaveDialog(std::function<QString()> dialog) { m_saveDialog = std::move(dialog); }
    void setFontDialog(std::function<std::optional<PopupFont>(const PopupFont&)> dialog) {
        m_fontDialog = std::move(dialog);
    }

    QTableWidget* table() const { return m_table; }
    const PopupFont& popupFont() const { return m_font; }
    bool isModified() const;
    QString filePath() const { return m_path; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void setModified(bool modified);
    /// Asks to save changes; false when the author cancels (or a save did not happen).
    bool savePrompt();
    void clearTable();
    void updateCaption();
    std::vector<PopupEntry> entries() const;

    ToolEnvironment m_environment;
    ToolMessages& m_messages;
    QTableWidget* m_table;
    QAction* m_save = nullptr;
    QAction* m_fontAction = nullptr;
    QString m_path;
    PopupFont m_font;
    std::function<QString()> m_openDialog;
    std::function<QString()> m_saveDialog;
    std::function<std::optional<PopupFont>(const PopupFont&)> m_fontDialog;
};

} // namespace qw
