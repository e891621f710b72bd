#pragma once

#include "core/field_keys.h"

#include <QObject>

class QAbstractButton;

namespace qw {

/// Guards a line edit or a memo: drops typed characters its kind does not admit, and
/// characters beyond its limit, with a beep; selects the whole text when clicked; in a
/// memo Enter presses the given button.
class FieldFilter : public QObject {
    Q_OBJECT
public:
    /// `limit` 0 means no limit. Installs itself on `field`, which owns it.
    static FieldFilter* install(QObject* field, FieldKeys keys, int limit = 0,
                                QAbstractButton* enterButton = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FieldFilter(QObject* field, FieldKeys keys, int limit, QAbstractButton* enterButton);
    int currentLength(QObject* field) const;
    bool hasSelection(QObject* field) const;

    FieldKeys m_keys;
    int m_limit;
    QAbstractButton* m_enterButton;
};

} // namespace qw
