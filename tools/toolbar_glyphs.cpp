#include "tools/toolbar_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <cmath>

namespace qw {

namespace {

void drawSeparator(QPainter& p, int s, const QString& letters) {
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawLine(1, 2, s - 2, 2);
    p.drawLine(1, s - 3, s - 2, s - 3);
    QFont font = p.font();
    font.setPixelSize(s / 2);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::darkBlue);
    p.drawText(QRect(0, 3, s, s - 6), Qt::AlignCenter, letters);
}

void drawStar(QPainter& p, int s) {
    QPolygonF star;
    const double c = s / 2.0;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? s * 0.2 : s * 0.48;
        const double a = M_PI / 2 + i * M_PI / 5;
        star << QPointF(c + r * std::cos(a), c - r * std::sin(a));
    }
    p.setPen(Qt::darkRed);
    p.setBrush(QColor(255, 200, 0));
    p.drawPolygon(star);
}

void drawLauncher(QPainter& p, int s) {
    p.setPen(Qt::darkGreen);
    p.setBrush(QColor(60, 170, 60));
    p.drawPolygon(QPolygonF({QPointF(3, 2), QPointF(s - 2, s / 2.0), QPointF(3, s - 2)}));
}

void drawMove(QPainter& p, int s) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::darkGray);
    for (int x = 2; x < s - 1; x += 3)
        for (int y = 1; y < s - 1; y += 3)
            p.drawRect(x, y, 1, 1);
}

void drawFont(QPainter& p, int s) {
    QFont font("serif");
    font.setPixelSize(s - 2);
    font.setBold(true);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(Qt::darkBlue);
    p.drawText(QRect(0, 0, s, s), Qt::AlignCenter, "A");
}

void drawMenu(QPainter& p, int s) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(
        QPolygonF({QPointF(2, s / 3.0), QPointF(s - 2, s / 3.0), QPointF(s / 2.0, s - 2)}));
}

} // namespace

QIcon toolbarGlyph(const QString& name, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (name == "separator")
        drawSeparator(painter, size, "T");
    else if (name == "separatorKeywords")
        drawSeparator(painter, size, "TK");
    else if (name == "effects")
        drawStar(painter, size);
    else if (name == "launcher")
        drawLauncher(painter, size);
    else if (name == "font")
        drawFont(painter, size);
    else if (name == "move")
        drawMove(painter, size);
    else
        drawMenu(painter, size);
    return QIcon(pixmap);
}

} // namespace qw
