#include "shell/uMenuImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

// Glyphs are drawn on a 16 x 16 grid and rendered at each icon size.
constexpr int GlyphGrid = 16;
constexpr int GlyphSizesPx[] = {16, 24, 32};

using TGlyphPainter = std::function<void(QPainter &)>;

const QColor Outline(40, 40, 40);
const QColor Blue(40, 100, 200);
const QColor Green(40, 150, 60);
const QColor Red(200, 40, 40);
const QColor Grey(150, 150, 150);
const QColor Yellow(240, 200, 40);

QPen OutlinePen(const QColor &color = Outline, qreal width = 1.0)
{
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QIcon RenderGlyph(const TGlyphPainter &paint)
{
    QIcon icon;
    for (int size : GlyphSizesPx) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(static_cast<qreal>(size) / GlyphGrid, static_cast<qreal>(size) / GlyphGrid);
        paint(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void PaintSerialPlug(QPainter &p)
{
    QPolygonF shell({{1.5, 4.5}, {14.5, 4.5}, {12.5, 11.5}, {3.5, 11.5}});
    p.setPen(OutlinePen());
    p.setBrush(Blue);
    p.drawPolygon(shell);
    p.setBrush(Yellow);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(3.8 + i * 2.1, 6.8), 0.8, 0.8);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(4.8 + i * 2.1, 9.2), 0.8, 0.8);
}

void PaintGlobe(QPainter &p)
{
    p.setPen(OutlinePen(Blue.darker(150)));
    p.setBrush(QColor(120, 180, 240));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(2.8, 4.8), QPointF(13.2, 4.8));
    p.drawLine(QPointF(2.8, 11.2), QPointF(13.2, 11.2));
}

void PaintExit(QPainter &p)
{
    p.setPen(OutlinePen());
    p.setBrush(QColor(170, 110, 60));
    p.drawRect(QRectF(2.5, 1.5, 7, 13));
    p.setBrush(Yellow);
    p.drawEllipse(QPointF(8, 8), 0.8, 0.8);
    p.setPen(OutlinePen(Red, 1.6));
    p.drawLine(QPointF(9.5, 8), QPointF(15, 8));
    p.drawLine(QPointF(12.5, 5.5), QPointF(15, 8));
    p.drawLine(QPointF(12.5, 10.5), QPointF(15, 8));
}

void PaintPlugHalf(QPainter &p, qreal x, bool left)
{
    p.setPen(OutlinePen());
    p.setBrush(Grey);
    const qreal w = 5;
    p.drawRect(QRectF(x, 5, w, 6));
    p.setPen(OutlinePen(Outline, 1.2));
    const qreal tip = left ? x + w : x;
    const qreal out = left ? tip + 2 : tip - 2;
    const qreal cable = left ? x : x + w;
    const qreal cableEnd = left ? 0.5 : 15.5;
    p.drawLine(QPointF(tip, 6.8), QPointF(out, 6.8));
    p.drawLine(QPointF(tip, 9.2), QPointF(out, 9.2));
    p.setPen(OutlinePen(Outline, 1.6));
    p.drawLine(QPointF(cable, 8), QPointF(cableEnd, 8));
}

void PaintConnect(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawEllipse(QRectF(5.5, 3.5, 5, 9));
    PaintPlugHalf(p, 2.5, true);
    PaintPlugHalf(p, 8.5, false);
}

void PaintDisconnect(QPainter &p)
{
    PaintPlugHalf(p, 1, true);
    PaintPlugHalf(p, 10, false);
    p.setPen(OutlinePen(Red, 1.4));
    p.drawLine(QPointF(7, 3), QPointF(9, 13));
}

void PaintFactory(QPainter &p)
{
    QPolygonF building({{1.5, 14.5}, {1.5, 7}, {5, 9}, {5, 7}, {8.5, 9}, {8.5, 7}, {12, 9}, {12, 2}, {14.5, 2}, {14.5, 14.5}});
    p.setPen(OutlinePen());
    p.setBrush(QColor(190, 90, 60));
    p.drawPolygon(building);
    p.setBrush(Yellow);
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(2.8 + i * 3.5, 10.5, 1.8, 2));
}

void PaintFloppy(QPainter &p)
{
    QPainterPath body;
    body.moveTo(1.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 14.5);
    body.lineTo(1.5, 14.5);
    body.closeSubpath();
    p.setPen(OutlinePen());
    p.setBrush(Blue);
    p.drawPath(body);
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(4, 1.5, 7, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 9, 9, 5.5));
    p.setBrush(Outline);
    p.drawRect(QRectF(8.5, 2.5, 1.5, 3));
}

void PaintGauge(QPainter &p)
{
    p.setPen(OutlinePen());
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(OutlinePen(Outline, 0.8));
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(8, 8);
        p.rotate(-135 + i * 67.5);
        p.drawLine(QPointF(0, -5.5), QPointF(0, -4.2));
        p.restore();
    }
    p.setPen(OutlinePen(Red, 1.4));
    p.drawLine(QPointF(8, 8), QPointF(11.5, 4.5));
    p.setBrush(Outline);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(8, 8), 1.2, 1.2);
}

void PaintDocuments(QPainter &p)
{
    p.setPen(OutlinePen());
    for (int i = 2; i >= 0; --i) {
        p.setBrush(i == 0 ? QColor(Qt::white) : QColor(220, 220, 220));
        p.drawRect(QRectF(2.5 + i * 2, 1.5 + i * 1.5, 8, 10));
    }
    p.setPen(OutlinePen(Grey, 0.8));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(4, 4.5 + i * 2), QPointF(9, 4.5 + i * 2));
    p.setPen(OutlinePen(Green, 1.6));
    p.drawArc(QRectF(8.5, 8.5, 6, 6), 90 * 16, 270 * 16);
}

void PaintChip(QPainter &p)
{
    p.setPen(OutlinePen(Grey, 1.0));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 5.5 + i * 2;
        p.drawLine(QPointF(1, y), QPointF(3, y));
        p.drawLine(QPointF(13, y), QPointF(15, y));
    }
    p.setPen(OutlinePen());
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(3, 4, 10, 10));
    p.setPen(OutlinePen(Green, 1.8));
    p.drawLine(QPointF(8, 12), QPointF(8, 1.5));
    p.drawLine(QPointF(5, 4.5), QPointF(8, 1.5));
    p.drawLine(QPointF(11, 4.5), QPointF(8, 1.5));
}

void PaintLetterBadge(QPainter &p, const QString &letter)
{
    p.setPen(OutlinePen(Blue.darker(150)));
    p.setBrush(Blue);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, letter);
}

} // namespace

TImageList TImageList::MenuImages()
{
    const TGlyphPainter painters[MenuImageCount] = {
        PaintSerialPlug, PaintGlobe,  PaintExit,      PaintConnect,
        PaintDisconnect, PaintFactory, PaintFloppy,   PaintGauge,
        PaintDocuments,  PaintChip,
        [](QPainter &p) { PaintLetterBadge(p, QStringLiteral("?")); },
        [](QPainter &p) { PaintLetterBadge(p, QStringLiteral("i")); },
    };
    TImageList list;
    for (const TGlyphPainter &paint : painters)
        list.icons_.append(RenderGlyph(paint));
    return list;
}

QIcon TImageList::Icon(int index) const
{
    if (index < 0 || index >= Count())
        return QIcon();
    return icons_[index];
}
