#include "ui/TreeImages.h"

#include <QPainter>

namespace zarn {

namespace {

QPen pen(const QColor& c, qreal w = 1.2) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void dot(QPainter& p, const QColor& fill, const QRectF& r) {
    QRadialGradient g(r.center() - QPointF(r.width() / 5, r.height() / 5), r.width() / 1.4);
    g.setColorAt(0, fill.lighter(170));
    g.setColorAt(1, fill);
    p.setPen(pen(fill.darker(160), 1));
    p.setBrush(g);
    p.drawEllipse(r);
}

} // namespace

QPixmap treeImage(int index) {
    if (index < 0 || index > 15)
        return {};
    QPixmap pm(TreeImageSize, TreeImageSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor dark(60, 60, 60);
    switch (index) {
    case 0: // object: a house
        p.setPen(pen(QColor(110, 40, 20)));
        p.setBrush(QColor(200, 70, 40));
        p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(15, 7.5), QPointF(1, 7.5)}));
        p.setPen(pen(dark));
        p.setBrush(QColor(245, 230, 190));
        p.drawRect(QRectF(3, 7.5, 10, 7));
        p.setBrush(QColor(120, 80, 40));
        p.drawRect(QRectF(6.5, 10, 3, 4.5));
        break;
    case 1: // block: a distribution board
        p.setPen(pen(dark));
        p.setBrush(QColor(190, 195, 205));
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        p.setPen(pen(QColor(40, 40, 40), 1.5));
        for (qreal x : {5.0, 8.0, 11.0})
            p.drawLine(QPointF(x, 4.5), QPointF(x, 8.5));
        p.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 11.5));
        break;
    case 2: // lightning rod
        p.setPen(pen(QColor(120, 90, 0)));
        p.setBrush(QColor(255, 210, 0));
        p.drawPolygon(QPolygonF({QPointF(9.5, 0.5), QPointF(3.5, 9), QPointF(7.5, 9),
                                 QPointF(5.5, 15.5), QPointF(12.5, 6), QPointF(8.5, 6)}));
        break;
    case 3: // equipotential bar
        p.setPen(pen(QColor(90, 60, 10)));
        p.setBrush(QColor(210, 150, 60));
        p.drawRect(QRectF(1.5, 6, 13, 4));
        p.setBrush(QColor(90, 60, 10));
        for (qreal x : {4.0, 8.0, 12.0})
            p.drawEllipse(QPointF(x, 8), 1, 1);
        break;
    case 4: // fuse
        p.setPen(pen(dark));
        p.setBrush(QColor(235, 235, 225));
        p.drawRoundedRect(QRectF(2.5, 5, 11, 6), 1.5, 1.5);
        p.setPen(pen(QColor(200, 0, 0), 1.4));
        p.drawLine(QPointF(0.5, 8), QPointF(15.5, 8));
        break;
    case 5: // pole / electrode
        p.setPen(pen(QColor(80, 50, 20), 2.2));
        p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
        p.setPen(pen(dark, 1.2));
        p.drawLine(QPointF(3, 4), QPointF(13, 4));
        p.drawLine(QPointF(4.5, 14.5), QPointF(11.5, 14.5));
        break;
    case 6:   // connection of a lightning rod
    case 7: { // connection of a bar
        const QColor c = index == 6 ? QColor(200, 150, 0) : QColor(170, 100, 30);
        p.setPen(pen(c, 2));
        p.drawLine(QPointF(1.5, 12), QPointF(6, 8));
        p.drawLine(QPointF(10, 8), QPointF(14.5, 4));
        p.setPen(pen(dark));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(6, 8), 2, 2);
        p.drawEllipse(QPointF(10, 8), 2, 2);
        break;
    }
    case 8: // earthing
        p.setPen(pen(QColor(0, 110, 0), 1.6));
        p.drawLine(QPointF(8, 1.5), QPointF(8, 7));
        p.drawLine(QPointF(2, 7), QPointF(14, 7));
        p.drawLine(QPointF(4.5, 10), QPointF(11.5, 10));
        p.drawLine(QPointF(6.5, 13), QPointF(9.5, 13));
        break;
    case 9: // RCD
        p.setPen(pen(dark));
        p.setBrush(QColor(240, 240, 240));
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        p.setBrush(QColor(0, 90, 200));
        p.drawRect(QRectF(5, 4, 6, 3));
        p.setPen(pen(QColor(200, 0, 0), 1.4));
        p.drawText(QRectF(2.5, 7, 11, 7.5), Qt::AlignCenter, QStringLiteral("T"));
        break;
    case 10: // cancel
        p.setPen(pen(QColor(200, 0, 0), 2.4));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case 11:
        dot(p, QColor(30, 80, 220), QRectF(2, 2, 12, 12));
        break;
    case 12:
        dot(p, QColor(20, 160, 40), QRectF(2, 2, 12, 12));
        break;
    case 13:
        dot(p, QColor(220, 30, 30), QRectF(2, 2, 12, 12));
        break;
    case 14: // circuit: a square
        p.setPen(pen(QColor(0, 60, 130)));
        p.setBrush(QColor(120, 170, 230));
        p.drawRect(QRectF(3, 3, 10, 10));
        break;
    case 15:
        dot(p, QColor(20, 160, 40), QRectF(4.5, 4.5, 7, 7));
        break;
    default:
        break;
    }
    return pm;
}

TreeImages::TreeImages() {
    for (int i = 0; i < 16; ++i)
        icons_.emplace_back(treeImage(i));
}

QIcon TreeImages::icon(int index) const {
    if (index < 0 || index >= count())
        return {};
    return icons_[static_cast<size_t>(index)];
}

} // namespace zarn
