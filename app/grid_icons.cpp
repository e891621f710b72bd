#include "app/grid_icons.h"

#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace qw {

namespace {

enum class Shape {
    Book,
    OpenBook,
    Folder,
    OpenFolder,
    Page,
    PageLines,
    Question,
    Globe,
    Star,
    Note,
    Disk,
    Gear
};

/// The shape and colour of each built-in icon: books and folders first (1 is the book
/// of chapter rows, 5 the folder), pages from 9 on (10 is the default topic icon).
struct IconLook {
    Shape shape;
    QRgb colour;
};

constexpr std::array<IconLook, GridIcons::kBuiltInIconCount> kLooks = {{
    {Shape::Book, 0xff2050c0},       {Shape::Book, 0xff8a2be2},
    {Shape::OpenBook, 0xff8a2be2},   {Shape::Book, 0xffc03030},
    {Shape::OpenBook, 0xffc03030},   {Shape::Folder, 0xffe0b030},
    {Shape::OpenFolder, 0xffe0b030}, {Shape::Folder, 0xff4090d0},
    {Shape::OpenFolder, 0xff4090d0}, {Shape::Page, 0xffffffff},
    {Shape::PageLines, 0xffffffff},  {Shape::PageLines, 0xffffffa0},
    {Shape::PageLines, 0xffd0f0ff},  {Shape::PageLines, 0xffd0ffd0},
    {Shape::PageLines, 0xffffd0d0},  {Shape::Question, 0xff2060d0},
    {Shape::Question, 0xffd04020},   {Shape::Globe, 0xff2080c0},
    {Shape::Globe, 0xff30a040},      {Shape::Star, 0xfff0c000},
    {Shape::Star, 0xffe04040},       {Shape::Note, 0xfff8e060},
    {Shape::Note, 0xff80d0f0},       {Shape::Disk, 0xff404080},
    {Shape::Disk, 0xff804040},       {Shape::Gear, 0xff707070},
    {Shape::Gear, 0xff3070a0},       {Shape::Book, 0xff208040},
    {Shape::OpenBook, 0xff208040},   {Shape::Book, 0xff606060},
    {Shape::OpenBook, 0xff606060},   {Shape::Folder, 0xff40a060},
    {Shape::OpenFolder, 0xff40a060}, {Shape::Page, 0xffffe0a0},
    {Shape::Page, 0xffe0e0ff},       {Shape::Question, 0xff30a030},
    {Shape::Globe, 0xffa040a0},      {Shape::Star, 0xff4080f0},
    {Shape::Note, 0xfff0a0c0},       {Shape::Disk, 0xff308060},
    {Shape::Gear, 0xffa06020},       {Shape::PageLines, 0xffe8e8e8},
}};

void drawPage(QPainter& p, QColor paper, bool lines) {
    QPainterPath path;
    path.moveTo(3, 1);
    path.lineTo(10, 1);
    path.lineTo(13, 4);
    path.lineTo(13, 14);
    path.lineTo(3, 14);
    path.closeSubpath();
    p.setPen(QColor(60, 60, 60));
    p.setBrush(paper);
    p.drawPath(path);
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
    if (!lines)
        return;
    p.setPen(QColor(90, 110, 170));
    for (int y = 6; y <= 12; y += 2)
        p.drawLine(5, y, 11, y);
}

void drawShape(QPainter& p, Shape shape, QColor c) {
    const QColor dark = c.darker(160);
    switch (shape) {
    case Shape::Book:
        p.setPen(dark);
        p.setBrush(c);
        p.drawRect(3, 1, 10, 13);
        p.setBrush(Qt::white);
        p.drawRect(4, 12, 9, 2);
        p.setPen(c.lighter(150));
        p.drawLine(6, 4, 11, 4);
        break;
    case Shape::OpenBook:
        p.setPen(dark);
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon({QPoint(1, 3), QPoint(7, 4), QPoint(7, 13), QPoint(1, 12)}));
        p.drawPolygon(QPolygon({QPoint(14, 3), QPoint(8, 4), QPoint(8, 13), QPoint(14, 12)}));
        p.setPen(c);
        p.drawLine(1, 13, 7, 14);
        p.drawLine(8, 14, 14, 13);
        break;
    case Shape::Folder:
    case Shape::OpenFolder:
        p.setPen(dark);
        p.setBrush(c.darker(115));
        p.drawRect(1, 3, 6, 2);
        p.drawRect(1, 5, 13, 8);
        if (shape == Shape::OpenFolder) {
            p.setBrush(c.lighter(120));
            p.drawPolygon(QPolygon({QPoint(3, 8), QPoint(15, 8), QPoint(13, 13), QPoint(1, 13)}));
        }
        break;
    case Shape::Page:
    case Shape::PageLines:
        drawPage(p, c, shape == Shape::PageLines);
        break;
    case Shape::Question:
        p.setPen(dark);
        p.setBrush(c);
        p.drawEllipse(1, 1, 13, 13);
        p.setPen(Qt::white);
        p.setFont(QFont("Sans", 8, QFont::Bold));
        p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, "?");
        break;
    case Shape::Globe:
        p.setPen(dark);
        p.setBrush(c);
        p.drawEllipse(1, 1, 13, 13);
        p.setBrush(Qt::NoBrush);
        p.setPen(c.lighter(170));
        p.drawEllipse(5, 1, 5, 13);
        p.drawLine(1, 7, 14, 7);
        break;
    case Shape::Star: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 == 0 ? 7.0 : 3.0;
            const double a = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(7.5 + r * std::cos(a), 8 + r * std::sin(a));
        }
        p.setPen(dark);
        p.setBrush(c);
        p.drawPolygon(star);
        break;
    }
    case Shape::Note:
        p.setPen(dark);
        p.setBrush(c);
        p.drawRect(2, 2, 11, 11);
        p.setPen(dark);
        p.drawLine(4, 5, 11, 5);
        p.drawLine(4, 8, 11, 8);
        break;
    case Shape::Disk:
        p.setPen(dark);
        p.setBrush(c);
        p.drawRect(1, 1, 13, 13);
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 7, 5);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(3, 9, 9, 5);
        break;
    case Shape::Gear:
        p.setPen(QPen(c, 3));
        for (int i = 0; i < 4; ++i) {
            const double a = i * M_PI / 4;
            p.drawLine(QPointF(7.5 - 6 * std::cos(a), 7.5 - 6 * std::sin(a)),
                       QPointF(7.5 + 6 * std::cos(a), 7.5 + 6 * std::sin(a)));
        }
        p.setPen(dark);
        p.setBrush(c);
        p.drawEllipse(3, 3, 9, 9);
        p.setBrush(Qt::white);
        p.drawEllipse(6, 6, 3, 3);
        break;
    }
}

/// A small label with the role letters, in a colour per marker.
void drawRoleMarker(QPainter& p, const QString& letters, QColor colour) {
    p.setPen(colour.darker(150));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(0.5, 1.5, 14, 12), 3, 3);
    QFont font("Sans");
    font.setPixelSize(letters.size() <= 2 ? 10 : 6);
    font.setBold(letters.size() <= 2);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 1, 15, 13), Qt::AlignCenter, letters);
}

QPixmap transparentStrip(int cells) {
    QPixmap strip(cells * GridIcons::kCell, GridIcons::kCell);
    strip.fill(Qt::transparent);
    return strip;
}

} // namespace

GridIcons::GridIcons() : m_icons(drawnIconStrip()), m_markers(drawnMarkerStrip()) {}

void GridIcons::loadIconStrip(const QStringList& candidates) {
    for (const QString& path : candidates) {
        if (path.isEmpty() || !QFileInfo(path).isFile())
            continue;
        QImage image(path);
        if (image.isNull() || image.width() < kCell)
            continue;
        m_icons = QPixmap::fromImage(image);
        return;
    }
    m_icons = drawnIconStrip();
}

void GridIcons::drawIcon(QPainter& painter, int x, int y, int index) const {
    if (index < 0 || index >= iconCount())
        return;
    painter.drawPixmap(x, y, m_icons, index * kCell, 0, kCell, kCell);
}

void GridIcons::drawMarker(QPainter& painter, int x, int y, int index) const {
    if (index < 0 || index >= kMarkerCount)
        return;
    painter.drawPixmap(x, y, m_markers, index * kCell, 0, kCell, kCell);
}

QPixmap GridIcons::icon(int index) const {
    if (index < 0 || index >= iconCount())
        return {};
    return m_icons.copy(index * kCell, 0, kCell, kCell);
}

int GridIcons::markerIndex(const QString& marker) {
    static const std::array<std::pair<const char*, int>, 12> known = {{
        {" >", 2},
        {"w", 3},
        {"d", 4},
        {"h", 5},
        {"c", 6},
        {"dw", 7},
        {"dh", 8},
        {"wh", 9},
        {"dwh", 10},
        {"n", 11},
        {"r", 12},
        {"dwhc", 13},
    }};
    if (marker.isEmpty())
        return -1;
    for (const auto& [text, index] : known) {
        if (marker == QLatin1String(text))
            return index;
    }
    return 14;
}

QPixmap GridIcons::drawnIconStrip() {
    QPixmap strip = transparentStrip(kBuiltInIconCount);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < kBuiltInIconCount; ++i) {
        p.save();
        p.translate(i * kCell, 0);
        drawShape(p, kLooks[size_t(i)].shape, QColor::fromRgba(kLooks[size_t(i)].colour));
        p.restore();
    }
    return strip;
}

QPixmap GridIcons::drawnMarkerStrip() {
    QPixmap strip = transparentStrip(kMarkerCount);
    QPainter p(&strip);
    const QPen tree(QColor(128, 128, 128), 1, Qt::DotLine);
    p.setPen(tree);
    p.drawLine(7, 0, 7, 15); // 0: branch
    p.drawLine(7, 8, 15, 8);
    p.drawLine(16 + 7, 0, 16 + 7, 8); // 1: last branch
    p.drawLine(16 + 7, 8, 16 + 15, 8);
    p.save();
    p.translate(2 * kCell, 0); // 2: chapter marker, a right-pointing triangle
    p.setPen(QColor(0, 0, 128));
    p.setBrush(QColor(0, 0, 160));
    p.drawPolygon(QPolygon({QPoint(4, 3), QPoint(11, 7), QPoint(4, 11)}));
    p.restore();
    const std::array<std::pair<const char*, QRgb>, 12> roles = {{
        {"w", 0xff2e7d32},
        {"d", 0xff1565c0},
        {"h", 0xff6a1b9a},
        {"c", 0xffef6c00},
        {"dw", 0xff00838f},
        {"dh", 0xff283593},
        {"wh", 0xff558b2f},
        {"dwh", 0xff4e342e},
        {"n", 0xffc62828},
        {"r", 0xff5d4037},
        {"dwhc", 0xff37474f},
        {"*", 0xff757575},
    }};
    for (size_t i = 0; i < roles.size(); ++i) {
        p.save();
        p.translate(int(3 + i) * kCell, 0);
        drawRoleMarker(p, QString::fromLatin1(roles[i].first), QColor::fromRgba(roles[i].second));
        p.restore();
    }
    return strip;
}

} // namespace qw
