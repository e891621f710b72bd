#pragma once

#include "helpgen/window_sizer.h"

#include <QDialog>
#include <QSize>

class QCheckBox;
class QSplitter;
class QTabWidget;

namespace qw {

/// "AutoSizer": a life-size mock-up of the help window that the author moves and sizes:
/// the viewer's toolbar, the navigator with its tabs beside a splitter, the topic area,
/// and over it the tab switches, the size buttons, Center On Screen, OK and Cancel.
/// OK and the close box end it accepted, Cancel rejected.
class TfrmAutoSizer : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAutoSizer(const SizerValues& values, QWidget* parent = nullptr);

    /// The window's place and size, the navigator's width plus its border, the tab switches.
    SizerValues values() const;
    /// The width of the navigator panel now.
    int panelWidth() const;
    QSplitter* splitter() const { return m_splitter; }
    QTabWidget* navigator() const { return m_navigator; }
    /// Where the controls stand, in the sizer's coordinates.
    QWidget* controls() const { return m_controls; }

    /// The screen Center On Screen centres on, for tests; an empty size uses the real one.
    static void setTestScreenSize(QSize size);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildTopicArea();
    void showTab(int index, bool shown);
    void centreOnScreen();

    QSplitter* m_splitter;
    QTabWidget* m_navigator;
    QWidget* m_controls = nullptr;
    QCheckBox* m_tabBoxes[3] = {};
};

} // namespace qw
