#pragma once

#include "treegen/tree_options.h"

#include <QColor>
#include <QDialog>

#include <functional>
#include <map>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace qw {

class MessageRoutine;

/// "DOVAZaze Options": the options of the browser document (format, frame, contents-pane
/// look, icon set), shown from a TreeOptions and read back into one. "&Create" accepts,
/// Cancel rejects; the dialog itself writes nothing.
class TfrmTreeOptions : public QDialog {
    Q_OBJECT
public:
    /// dataDir gives the icon sets their pictures (may be empty); projectDir is where a
    /// background image must lie.
    TfrmTreeOptions(const TreeOptions& options, const std::string& projectDir,
                    const std::string& dataDir, MessageRoutine& messages,
                    QWidget* parent = nullptr);

    /// The options as the controls show them now.
    TreeOptions options() const;

    /// Replaces the colour dialog for tests: gets the current colour, returns the chosen
    /// one or an invalid colour for Cancel. Empty restores the dialog.
    using ColourChooser = std::function<QColor(const QColor&)>;
    static void setTestColourChooser(ColourChooser chooser);

signals:
    /// "&Help": the page of the dialog and the browser help's tree page.
    void helpRequested(const QString& page, const QString& treePage);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildFormatGroup();
    QWidget* buildFrameGroup();
    QWidget* buildPaneGroup();
    QWidget* buildIconGroup(const std::string& dataDir);
    QLineEdit* addNumberBox(const char* name);
    void showOptions(const TreeOptions& options);
    void formatChanged();
    void pickImage();
    void pickColour();
    void setColour(const std::string& colourText);

    std::string m_projectDir;
    MessageRoutine& m_messages;
    std::string m_bgColour;
    QButtonGroup* m_formats;
    QButtonGroup* m_styles;
    QButtonGroup* m_iconSets;
    QGroupBox* m_appletGroup;
    QGroupBox* m_styleGroup;
    QLineEdit* m_appletHeight;
    QLineEdit* m_appletWidth;
    QLineEdit* m_treeTitle;
    QLineEdit* m_frameWidth;
    QLineEdit* m_bgImage;
    QLabel* m_colourField;
    QCheckBox* m_putInSubDir;
    QCheckBox* m_showBorder;
    QCheckBox* m_viewWhenCreated;
};

} // namespace qw
