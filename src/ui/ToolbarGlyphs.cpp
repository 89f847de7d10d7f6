#include "ui/ToolbarGlyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace zarn {

namespace {

constexpr int Size = 24;

QPen pen(const QColor& c, qreal w = 1.3) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter& p, const QRectF& r) {
    p.setPen(pen(QColor(90, 90, 90)));
    p.setBrush(Qt::white);
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 5, r.top());
    path.lineTo(r.right(), r.top() + 5);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.drawPath(path);
    p.drawPolyline(QPolygonF({QPointF(r.right() - 5, r.top()), QPointF(r.right() - 5, r.top() + 5),
                              QPointF(r.right(), r.top() + 5)}));
}

// A hand-held tester: the instrument the program talks to.
void instrument(QPainter& p, const QRectF& r) {
    p.setPen(pen(QColor(60, 60, 60)));
    p.setBrush(QColor(250, 190, 20));
    p.drawRoundedRect(r, 2.5, 2.5);
    p.setBrush(QColor(170, 205, 170));
    p.drawRect(QRectF(r.left() + 2, r.top() + 2, r.width() - 4, r.height() * 0.38));
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(r.center().x(), r.bottom() - r.height() * 0.28), 2.2, 2.2);
}

} // namespace

QIcon toolbarGlyph(ToolbarGlyph glyph) {
    QPixmap pm(Size, Size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case ToolbarGlyph::New:
        page(p, QRectF(5.5, 2.5, 13, 19));
        break;
    case ToolbarGlyph::Open: {
        p.setPen(pen(QColor(140, 100, 20)));
        p.setBrush(QColor(240, 200, 90));
        p.drawPolygon(QPolygonF({QPointF(2.5, 6.5), QPointF(9, 6.5), QPointF(11, 8.5),
                                 QPointF(19.5, 8.5), QPointF(19.5, 19.5), QPointF(2.5, 19.5)}));
        p.setBrush(QColor(252, 222, 130));
        p.drawPolygon(QPolygonF(
            {QPointF(5.5, 11.5), QPointF(22.5, 11.5), QPointF(19.5, 19.5), QPointF(2.5, 19.5)}));
        break;
    }
    case ToolbarGlyph::Save:
        p.setPen(pen(QColor(20, 40, 90)));
        p.setBrush(QColor(50, 90, 170));
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 3.5, 11, 7));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(7.5, 14, 9, 6.5));
        break;
    case ToolbarGlyph::SendStructure:
    case ToolbarGlyph::ReceiveResults: {
        instrument(p, QRectF(1.5, 3.5, 10, 17));
        const bool receive = glyph == ToolbarGlyph::ReceiveResults;
        p.setPen(pen(QColor(0, 120, 0), 2.2));
        p.drawLine(QPointF(13.5, 12), QPointF(21.5, 12));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 120, 0));
        if (receive)
            p.drawPolygon(QPolygonF({QPointF(23, 12), QPointF(18, 7.5), QPointF(18, 16.5)}));
        else
            p.drawPolygon(QPolygonF({QPointF(12, 12), QPointF(17, 7.5), QPointF(17, 16.5)}));
        break;
    }
    case ToolbarGlyph::Print:
        p.setPen(pen(QColor(70, 70, 70)));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 2.5, 10, 8));
        p.setBrush(QColor(150, 150, 155));
        p.drawRoundedRect(QRectF(2.5, 9.5, 19, 9), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 15, 10, 6.5));
        p.setPen(pen(QColor(0, 160, 0), 1.5));
        p.drawPoint(QPointF(18.5, 12));
        break;
    case ToolbarGlyph::Calibration:
        instrument(p, QRectF(6.5, 2.5, 11, 19));
        break;
    }
    return QIcon(pm);
}

} // namespace zarn
