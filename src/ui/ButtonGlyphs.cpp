#include "ui/ButtonGlyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace zarn {

namespace {

constexpr int GlyphSize = 16;

QPixmap blank(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

QPen roundPen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawCheck(QPainter& p, const QColor& colour, qreal dx = 0) {
    p.setPen(roundPen(colour, 2.4));
    p.drawPolyline(
        QPolygonF({QPointF(2.5 + dx, 8.5), QPointF(6 + dx, 12), QPointF(13.5 + dx, 3.5)}));
}

void drawCross(QPainter& p, const QColor& colour) {
    p.setPen(roundPen(colour, 2.4));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
}

QPixmap glyphPixmap(DialogButton kind) {
    QPixmap pm = blank(GlyphSize);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor green(0, 128, 0), red(192, 0, 0), navy(0, 0, 128);
    switch (kind) {
    case DialogButton::Yes:
    case DialogButton::Ok:
        drawCheck(p, green);
        break;
    case DialogButton::No:
        p.setPen(roundPen(red, 2));
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        p.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 4.5));
        break;
    case DialogButton::Cancel:
        drawCross(p, red);
        break;
    case DialogButton::Abort: {
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        QPolygonF octagon;
        for (QPointF pt : {QPointF(5, 1), QPointF(11, 1), QPointF(15, 5), QPointF(15, 11),
                           QPointF(11, 15), QPointF(5, 15), QPointF(1, 11), QPointF(1, 5)})
            octagon << pt;
        p.drawPolygon(octagon);
        p.setPen(roundPen(Qt::white, 2));
        p.drawLine(QPointF(5, 8), QPointF(11, 8));
        break;
    }
    case DialogButton::Retry: {
        p.setPen(roundPen(green, 2));
        p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(green);
        p.drawPolygon(QPolygonF({QPointF(8, 0.5), QPointF(12, 3), QPointF(8, 5.5)}));
        break;
    }
    case DialogButton::Ignore:
        p.setPen(roundPen(navy, 2));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        p.drawLine(QPointF(10, 5), QPointF(13, 8));
        p.drawLine(QPointF(10, 11), QPointF(13, 8));
        break;
    case DialogButton::All:
        drawCheck(p, green, -2);
        drawCheck(p, QColor(0, 90, 0), 2);
        break;
    case DialogButton::Help: {
        p.setPen(Qt::NoPen);
        p.setBrush(navy);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(Qt::white);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(12);
        p.setFont(f);
        p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case DialogButton::Close:
        p.setPen(roundPen(QColor(96, 64, 0), 1.5));
        p.setBrush(QColor(214, 170, 90));
        p.drawRect(QRectF(4, 1.5, 8, 13));
        p.setBrush(QColor(96, 64, 0));
        p.drawEllipse(QRectF(9, 7.5, 1.5, 1.5));
        break;
    case DialogButton::NoToAll:
    case DialogButton::YesToAll:
    case DialogButton::Custom:
        return {};
    }
    return pm;
}

} // namespace

QIcon buttonGlyph(DialogButton kind) {
    QPixmap pm = glyphPixmap(kind);
    return pm.isNull() ? QIcon() : QIcon(pm);
}

QPixmap dialogTypeIcon(DialogType type) {
    if (type == DialogType::Custom)
        return {};
    QPixmap pm = blank(32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(22);
    p.setFont(f);
    switch (type) {
    case DialogType::Warning: {
        p.setPen(roundPen(QColor(120, 90, 0), 1.5));
        p.setBrush(QColor(255, 204, 0));
        p.drawPolygon(QPolygonF({QPointF(16, 2), QPointF(30.5, 29), QPointF(1.5, 29)}));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, 8, 32, 22), Qt::AlignCenter, QStringLiteral("!"));
        break;
    }
    case DialogType::Error:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(204, 0, 0));
        p.drawEllipse(QRectF(1, 1, 30, 30));
        p.setPen(roundPen(Qt::white, 3.5));
        p.drawLine(QPointF(10, 10), QPointF(22, 22));
        p.drawLine(QPointF(22, 10), QPointF(10, 22));
        break;
    case DialogType::Information:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 70, 170));
        p.drawEllipse(QRectF(1, 1, 30, 30));
        p.setPen(Qt::white);
        f.setFamily(QStringLiteral("serif"));
        p.setFont(f);
        p.drawText(QRectF(1, 1, 30, 30), Qt::AlignCenter, QStringLiteral("i"));
        break;
    case DialogType::Confirmation:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 110, 60));
        p.drawEllipse(QRectF(1, 1, 30, 30));
        p.setPen(Qt::white);
        p.drawText(QRectF(1, 1, 30, 30), Qt::AlignCenter, QStringLiteral("?"));
        break;
    case DialogType::Custom:
        break;
    }
    return pm;
}

} // namespace zarn
