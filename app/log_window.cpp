#include "app/log_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace qw {

TfrmLogWindow::TfrmLogWindow(QWidget* parent) : QDialog(parent), m_text(new QPlainTextEdit(this)) {
    setObjectName("frmLogWindow");
    m_text->setObjectName("memLog");
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* printButton = buttons->addButton("&Print...", QDialogButtonBox::ActionRole);
    connect(printButton, &QPushButton::clicked, this, &TfrmLogWindow::print);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(700, 480);
}

bool TfrmLogWindow::loadFile(const QString& path) {
    setWindowTitle(QFileInfo(path).fileName());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_text->clear();
        return false;
    }
    // The log is shown as bytes decoded leniently: a stray byte must not hide the rest.
    m_text->setPlainText(QString::fromUtf8(file.readAll()));
    return true;
}

QString TfrmLogWindow::text() const {
    return m_text->toPlainText();
}

void TfrmLogWindow::print() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        m_text->print(&printer);
}

} // namespace qw
