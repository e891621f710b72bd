#include "app/progress_window.h"

#include "app/message_routine.h"
#include "app/wait_loop.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace qw {

namespace {
constexpr int kWidth = 420;
constexpr int kAutoClosePause = 800;
} // namespace

TfrmProgress::TfrmProgress(MessageRoutine& messages, QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      m_messages(messages), m_bar(new QProgressBar(this)),
      m_errorLabel(new QLabel("Errors:", this)), m_errorList(new QListWidget(this)),
      m_ok(new QPushButton("&OK", this)) {
    setObjectName("frmProgress");
    setWindowTitle("Please Wait...");
    setModal(false);
    m_bar->setTextVisible(false);
    m_errorList->setObjectName("lstErrors");
    m_errorList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_ok->setObjectName("btnOK");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_errorLabel);
    layout->addWidget(m_errorList, 1);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    connect(m_ok, &QPushButton::clicked, this, &TfrmProgress::closeRun);
}

void TfrmProgress::begin(const std::string& caption, int steps, bool closeAutomatically) {
    steps = std::max(steps, 1);
    m_stepSize = progressStepSize(steps);
    m_bar->setRange(0, steps * m_stepSize);
    m_bar->setValue(0);
    m_autoClose = closeAutomatically;
    m_finished = false;
    m_hasErrors = false;
    m_errorList->clear();
    m_errorLabel->hide();
    m_errorList->hide();
    m_ok->hide();
    m_ok->setEnabled(false);
    setWindowTitle(QString::fromStdString(caption));
    setFixedSize(kWidth, kSmallHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kWidth / 2, kSmallHeight / 2));
    const bool wasVisible = isVisible();
    show();
    if (!wasVisible)
        emit runShown();
    QCoreApplication::processEvents();
}

void TfrmProgress::addError(const std::string& text) {
    if (!m_hasErrors) {
        m_hasErrors = true;
        setFixedSize(kWidth, kLargeHeight);
        m_errorLabel->show();
        m_errorList->show();
        m_ok->show();
    }
    m_errorList->addItem(QString::fromStdString(text));
}

void TfrmProgress::step() {
    m_bar->setValue(std::min(m_bar->value() + m_stepSize, m_bar->maximum()));
    QCoreApplication::processEvents();
    if (m_bar->value() < m_bar->maximum() || !m_autoClose || m_finished)
        return;
    markFinished();
    if (m_hasErrors) {
        m_messages.beep();
        return;
    }
    waitProcessingEvents(kAutoClosePause);
    closeRun();
}

void TfrmProgress::finish(int pauseMs) {
    if (m_finished && !isVisible())
        return;
    markFinished();
    if (m_hasErrors)
        return;
    waitProcessingEvents(pauseMs);
    closeRun();
}

void TfrmProgress::markFinished() {
    m_finished = true;
    m_ok->setEnabled(true);
}

void TfrmProgress::closeRun() {
    if (!m_finished || !isVisible())
        return;
    hide();
    emit runClosed();
}

QStringList TfrmProgress::errors() const {
    QStringList lines;
    for (int i = 0; i < m_errorList->count(); ++i)
        lines << m_errorList->item(i)->text();
    return lines;
}

int TfrmProgress::barValue() const {
    return m_bar->value();
}
int TfrmProgress::barMaximum() const {
    return m_bar->maximum();
}

void TfrmProgress::closeEvent(QCloseEvent* event) {
    event->ignore();
    closeRun();
}

void TfrmProgress::keyPressEvent(QKeyEvent* event) {
    // Escape must not close a run that has not finished.
    if (event->key() == Qt::Key_Escape && !m_finished)
        return;
    if (event->key() == Qt::Key_Escape) {
        closeRun();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace qw
