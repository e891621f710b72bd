#include "tools/field_filter.h"

#include "tools/tool_messages.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

namespace qw {

FieldFilter* FieldFilter::install(QObject* field, FieldKeys keys, int limit,
                                  QAbstractButton* enterButton) {
    auto* filter = new FieldFilter(field, keys, limit, enterButton);
    field->installEventFilter(filter);
    if (auto* memo = qobject_cast<QPlainTextEdit*>(field))
        memo->viewport()->installEventFilter(filter);
    if (auto* line = qobject_cast<QLineEdit*>(field); line && limit > 0)
        line->setMaxLength(limit);
    return filter;
}

FieldFilter::FieldFilter(QObject* field, FieldKeys keys, int limit, QAbstractButton* enterButton)
    : QObject(field), m_keys(keys), m_limit(limit), m_enterButton(enterButton) {}

int FieldFilter::currentLength(QObject* field) const {
    if (auto* line = qobject_cast<QLineEdit*>(field))
        return int(line->text().size());
    if (auto* memo = qobject_cast<QPlainTextEdit*>(field))
        return int(memo->toPlainText().size());
    return 0;
}

bool FieldFilter::hasSelection(QObject* field) const {
    if (auto* line = qobject_cast<QLineEdit*>(field))
        return line->hasSelectedText();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(field))
        return memo->textCursor().hasSelection();
    return false;
}

bool FieldFilter::eventFilter(QObject* watched, QEvent* event) {
    QObject* field = parent();
    if (event->type() == QEvent::MouseButtonRelease) {
        // Clicking into a field selects its whole text, ready to be typed over.
        QTimer::singleShot(0, field, [field] {
            if (auto* line = qobject_cast<QLineEdit*>(field))
                line->selectAll();
            else if (auto* memo = qobject_cast<QPlainTextEdit*>(field))
                memo->selectAll();
        });
        return false;
    }
    if (watched != field || event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (m_enterButton && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        m_enterButton->click();
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty() || !text.front().isPrint())
        return false; // editing keys: backspace, arrows, delete
    const std::u32string typed = text.toStdU32String();
    bool admitted = true;
    for (char32_t c : typed)
        admitted = admitted && fieldAcceptsCharacter(m_keys, c);
    if (admitted && m_limit > 0 && !hasSelection(field) &&
        currentLength(field) + int(text.size()) > m_limit)
        admitted = false;
    if (admitted)
        return false;
    toolBeep();
    return true;
}

} // namespace qw
