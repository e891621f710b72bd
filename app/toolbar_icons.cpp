#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <map>

namespace qw {

namespace {

constexpr int kSize = 24;
const QColor kInk(40, 40, 60);
const QColor kPaper(250, 250, 240);
const QColor kNavy(20, 40, 120);
const QColor kGreen(30, 140, 60);
const QColor kRed(190, 30, 30);
const QColor kGold(220, 170, 40);

using Painter = std::function<void(QPainter&)>;

void page(QPainter& p, QRectF r = QRectF(5, 2, 13, 18)) {
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(path);
}

void textLines(QPainter& p, qreal left, qreal top, int count, qreal width = 8) {
    p.setPen(QPen(QColor(120, 120, 140), 1));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * 3), QPointF(left + width, top + i * 3));
}

void badge(QPainter& p, const QColor& colour, const QString& glyph) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(12, 12, 12, 12));
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.drawText(QRectF(12, 11, 12, 12), Qt::AlignCenter, glyph);
}

void folder(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kGold);
    p.drawRect(QRectF(2, 7, 19, 13));
    p.drawRect(QRectF(2, 5, 8, 3));
}

void book(QPainter& p, const QColor& cover) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(cover);
    p.drawRect(QRectF(4, 3, 15, 18));
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 6, 9, 4));
}

void tree(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(6, 4), QPointF(6, 19));
    for (int y : {8, 13, 18}) {
        p.drawLine(QPointF(6, y), QPointF(11, y));
        p.fillRect(QRectF(12, y - 2, 8, 4), y == 13 ? kGreen : kNavy);
    }
}

void letters(QPainter& p, const QString& text, const QColor& colour, int pixelSize = 12) {
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(pixelSize);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

void arrowCircle(QPainter& p) {
    p.setPen(QPen(kGreen, 3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 280 * 16);
    QPolygonF head({QPointF(14, 2), QPointF(21, 6), QPointF(14, 10)});
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(head);
}

const std::map<QString, Painter>& painters() {
    static const std::map<QString, Painter> table = {
        {"iebtnNew",
         [](QPainter& p) {
             page(p);
             badge(p, kGreen, "*");
         }},
        {"iebtnOpenPrj", [](QPainter& p) { folder(p); }},
        {"iebtnSavePrj",
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1));
             p.setBrush(kNavy);
             p.drawRect(QRectF(3, 3, 18, 18));
             p.setBrush(kPaper);
             p.drawRect(QRectF(6, 3, 12, 7));
             p.setBrush(QColor(180, 180, 190));
             p.drawRect(QRectF(7, 14, 10, 7));
         }},
        {"iebtnReloadProject", [](QPainter& p) { arrowCircle(p); }},
        {"iebtnAddFiles",
         [](QPainter& p) {
             page(p);
             textLines(p, 7, 7, 3);
             badge(p, kGreen, "+");
         }},
        {"iebtnNewChapter",
         [](QPainter& p) {
             book(p, kNavy);
             badge(p, kGreen, "+");
         }},
        {"iebtnNewTopic",
         [](QPainter& p) {
             page(p);
             textLines(p, 7, 6, 2);
             badge(p, kGreen, "+");
         }},
        {"iebtnMoveDeleteChapters",
         [](QPainter& p) {
             book(p, kNavy);
             letters(p, "\u21c5", kGold, 16);
         }},
        {"iebtnDeleteTopic",
         [](QPainter& p) {
             page(p);
             badge(p, kRed, "x");
         }},
        {"iebtnCompileHHFile",
         [](QPainter& p) {
             book(p, QColor(120, 30, 120));
             badge(p, kGold, "!");
         }},
        {"iebtnCreateDOVAZaze",
         [](QPainter& p) {
             tree(p);
             badge(p, kGold, "!");
         }},
        {"iebtnProjectOptions",
         [](QPainter& p) {
             book(p, kGreen);
             letters(p, "\u2699", kInk, 14);
         }},
        {"iebtnEnviromentOptions", [](QPainter& p) { letters(p, "\u2699", kNavy, 22); }},
        {"iebtnViewInBrowser",
         [](QPainter& p) {
             p.setPen(QPen(kNavy, 1.5));
             p.setBrush(QColor(170, 210, 250));
             p.drawEllipse(QRectF(3, 3, 18, 18));
             p.drawLine(QPointF(3, 12), QPointF(21, 12));
             p.drawEllipse(QRectF(8, 3, 8, 18));
         }},
        {"iebtnViewInHTMLEd",
         [](QPainter& p) {
             page(p);
             letters(p, "<>", kNavy, 10);
         }},
        {"iebtnViewInWysiwyg",
         [](QPainter& p) {
             page(p);
             p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(9, 17), QPointF(20, 6));
         }},
        {"iebtnViewCHM",
         [](QPainter& p) {
             book(p, QColor(120, 30, 120));
             letters(p, "?", kPaper, 11);
         }},
        {"iebtnViewLog",
         [](QPainter& p) {
             page(p);
             textLines(p, 7, 6, 5);
         }},
        {"iebtnViewDOVAZaze", [](QPainter& p) { tree(p); }},
        {"iebtnHelp",
         [](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(kNavy);
             p.drawEllipse(QRectF(2, 2, 20, 20));
             letters(p, "?", Qt::white, 16);
         }},
    };
    return table;
}

} // namespace

QIcon toolbarIcon(const QString& buttonName) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const auto found = painters().find(buttonName);
    if (found != painters().end()) {
        found->second(p);
    } else {
        p.setPen(kInk);
        p.drawRect(QRectF(3, 3, 17, 17));
    }
    return QIcon(pixmap);
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kNavy);
        p.drawEllipse(QRectF(0, 0, size, size));
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(size * 3 / 4);
        p.setFont(font);
        p.setPen(kGold);
        p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, "Q");
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace qw
