// Start-up, the focus handlers and the window events of the main window.
#include "app/main_window.h"

#include "app/splash_screen.h"
#include "app/topic_grid.h"
#include "app/wait_loop.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusTipEvent>
#include <QSystemTrayIcon>
#include <QTimer>

namespace qw {

// --- start-up ---------------------------------------------------------------------------

void TfrmVIRedivuv::startUp(const QStringList& arguments) {
    m_startArgument = arguments.isEmpty() ? QString() : arguments.first();
    auto* splash = new Tfrm_SplashScreen(m_dataDir, this);
    m_splash = splash;
    splash->centreOver(*this);
    splash->setCloseLabelVisible(false);
    splash->show();
    splash->repaint();
    waitProcessingEvents(500);
    m_splashTimer->start();
}

void TfrmVIRedivuv::openStartArgument(const QString& argument) {
    const QString name = argument.trimmed();
    const QFileInfo file(name);
    if (file.isFile() && file.suffix().compare("qwr", Qt::CaseInsensitive) == 0) {
        openProjectFile(name);
        return;
    }
    m_messages.showMessage("Error:\r\nInvalid File - " + argument.toStdString(), MessageKind::Error,
                           MessageButtons::Ok);
}

void TfrmVIRedivuv::takeHandedOverArgument(const QString& argument) {
    showNormal();
    raise();
    activateWindow();
    if (argument.trimmed().isEmpty())
        return;
    runCommand([this, argument] {
        if (m_session->askToSave("Save Changes to Project?"))
            openStartArgument(argument);
    });
}

// --- the grid's needs ----------------------------------------------------------------------

void TfrmVIRedivuv::beep() {
    m_messages.beep();
}

void TfrmVIRedivuv::projectEdited() {
    setSaveEnabled(m_session->modified());
    updateCounts();
}

bool TfrmVIRedivuv::askText(const QString& title, const QString& prompt, QString& text) {
    bool ok = false;
    const QString answer = QInputDialog::getText(this, title, prompt, QLineEdit::Normal, text, &ok);
    if (ok)
        text = answer;
    return ok;
}

// --- focus and window events ---------------------------------------------------------------

void TfrmVIRedivuv::applicationDeactivated() {
    if (m_closing)
        return;
    runCommand([this] { m_session->focusLost(); });
}

void TfrmVIRedivuv::applicationActivated() {
    if (m_closing || m_session->editing() || m_session->checking())
        return;
    m_grid->applicationActivated();
    const int row = m_grid->currentRow();
    const int column = m_grid->currentColumn();
    runCommand([this, row, column] {
        m_session->focusRegained();
        if (row > 0)
            m_grid->selectCell(std::min(row, int(m_session->table().rowCount()) - 1), column);
    });
}

bool TfrmVIRedivuv::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        m_hintPanel->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TfrmVIRedivuv::eventFilter(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QWidget*>(watched);
    if (button == nullptr || !button->isEnabled())
        return QMainWindow::eventFilter(watched, event);
    const QString name = button->objectName();
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        if (name == "iebtnNew") {
            runCommand([this] { mniNewClick(); });
            return true;
        }
        if (name == "iebtnOpenPrj") {
            recentPopup()->popup(button->mapToGlobal(QPoint(0, button->height())));
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonRelease && name == "iebtnViewInBrowser") {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (button->rect().contains(mouse->position().toPoint())) {
            const bool right = mouse->button() == Qt::RightButton;
            runCommand([this, right] { viewOrPreview(right); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmVIRedivuv::closeEvent(QCloseEvent* event) {
    bool close = false;
    runCommand([this, &close] {
        if (!m_session->askToSave("Save Changes to Project, before Exiting?"))
            return;
        m_closing = true;
        writeConfiguration();
        stopToolbars();
        close = true;
    });
    if (!close) {
        m_closing = false;
        event->ignore();
        return;
    }
    if (m_tray)
        m_tray->hide();
    event->accept();
}

void TfrmVIRedivuv::changeEvent(QEvent* event) {
    // Minimised, the program is reached through the tray icon only; without a tray the
    // window keeps its task-bar button.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_tray &&
        m_tray->isVisible())
        QTimer::singleShot(0, this, &QWidget::hide);
    QMainWindow::changeEvent(event);
}

} // namespace qw
