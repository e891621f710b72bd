#pragma once

#include "core/popup_text_file.h"
#include "core/sfx_marker.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QFormLayout;
class QPushButton;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QStackedWidget;

namespace qw {

class ToolMessages;

/// The Special Effects dialog of the SFX toolbar: one page per effect, created once and
/// reused, so every field keeps its last value while the toolbar runs.
class TfrmSpecialEffects : public QDialog {
    Q_OBJECT
public:
    using FileChooser = PopupTextStep::FileChooser;

    TfrmSpecialEffects(ToolMessages& messages, QString programDirectory, QWidget* parent = nullptr);

    /// Shows the effect's page modally, on top of other windows. Returns the marker built
    /// from the fields on "OK" (for "PopUp Text" only after its entry went into the
    /// pop-up text file); nullopt on "Cancel" or when the pop-up text step fails.
    std::optional<std::string> runEffect(SfxEffect effect);
    /// Shows the effect's page without running the dialog.
    void showPage(SfxEffect effect);
    /// The marker of the page shown, from its fields as they stand.
    std::string currentMarker() const;
    SfxEffect currentEffect() const { return m_effect; }

    /// The highlight colour as chosen in the colour dialog.
    void setHighlightColour(const QColor& colour);
    /// Replaces the save dialog that asks for the pop-up text file (tests).
    void setFileChooser(FileChooser chooser);
    const PopupTextStep& popupTextStep() const { return m_popupStep; }

signals:
    void helpRequested(const QString& page);

private:
    void addPages();
    QLineEdit* addLine(QFormLayout* form, const QString& label, const QString& name, int limit,
                       int keys);
    QPlainTextEdit* addMemo(QFormLayout* form, const QString& label, const QString& name, int limit,
                            int keys);
    QComboBox* addChoice(QFormLayout* form, const QString& label, const QString& name,
                         const QStringList& items, int current);
    SfxFields fields() const;
    QString text(const QString& name) const;
    int choice(const QString& name) const;
    std::optional<std::filesystem::path> askForPopupFile();
    void okClicked();

    ToolMessages& m_messages;
    QString m_programDirectory;
    QStackedWidget* m_pages;
    QPushButton* m_ok;
    SfxEffect m_effect = SfxEffect::PopupText;
    std::string m_colour;
    FileChooser m_chooser;
    PopupTextStep m_popupStep;
    QLabel* m_buttonTextLabel = nullptr;
};

} // namespace qw
