#include "ui/pictures/pictures.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace trawler::ui::pictures {
namespace {

using Painter = std::function<void(QPainter&, const QRectF&)>;

// Draws one picture at the usual small and large sizes; painting is done in a
// 16-unit square that is scaled to the pixmap.
QIcon Draw(const Painter& paint) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        paint(painter, QRectF(0, 0, 16, 16));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void Disc(QPainter& p, const QRectF& r, QColor fill) {
    p.setPen(QPen(fill.darker(150), 1));
    p.setBrush(fill);
    p.drawEllipse(r.adjusted(1.5, 1.5, -1.5, -1.5));
}

void Tick(QPainter& p, QColor colour) {
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5)}));
}

void Cross(QPainter& p, QColor colour) {
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 5), QPointF(11, 11));
    p.drawLine(QPointF(11, 5), QPointF(5, 11));
}

void Page(QPainter& p, QColor fill) {
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(fill);
    QPainterPath path;
    path.moveTo(3.5, 1.5);
    path.lineTo(9.5, 1.5);
    path.lineTo(12.5, 4.5);
    path.lineTo(12.5, 14.5);
    path.lineTo(3.5, 14.5);
    path.closeSubpath();
    p.drawPath(path);
}

void Badge(QPainter& p, const QRectF& r, QColor fill, const QString& text) {
    p.setPen(QPen(fill.darker(150), 1));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 3, 3);
    QFont font = p.font();
    font.setPixelSize(text.size() > 2 ? 6 : 8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, text);
}

void Hourglass(QPainter& p, QColor colour) {
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(12, 2), QPointF(8, 8)}));
    p.drawPolygon(QPolygonF({QPointF(8, 8), QPointF(12, 14), QPointF(4, 14)}));
}

QIcon MakeRow(int index) {
    switch (index) {
        case 0: return Draw([](QPainter& p, const QRectF& r) { Disc(p, r, QColor(60, 170, 60)); Tick(p, Qt::white); });
        case 1: return Draw([](QPainter& p, const QRectF& r) { Disc(p, r, QColor(200, 200, 200)); });
        case 2: return Draw([](QPainter& p, const QRectF& r) { Disc(p, r, QColor(210, 50, 40)); Cross(p, Qt::white); });
        default: return {};
    }
}

QIcon MakeEngine(int index) {
    switch (index) {
        case 0: return Draw([](QPainter& p, const QRectF&) { Hourglass(p, QColor(170, 170, 170)); });
        case 1:  // working: a play triangle
            return Draw([](QPainter& p, const QRectF& r) {
                Disc(p, r, QColor(50, 120, 210));
                p.setPen(Qt::NoPen);
                p.setBrush(Qt::white);
                p.drawPolygon(QPolygonF({QPointF(6, 4.5), QPointF(11.5, 8), QPointF(6, 11.5)}));
            });
        case 2:  // suspended: two bars
            return Draw([](QPainter& p, const QRectF& r) {
                Disc(p, r, QColor(230, 170, 30));
                p.setPen(Qt::NoPen);
                p.setBrush(Qt::white);
                p.drawRect(QRectF(5, 4.5, 2, 7));
                p.drawRect(QRectF(9, 4.5, 2, 7));
            });
        case 3: return Draw([](QPainter& p, const QRectF& r) { Disc(p, r, QColor(60, 170, 60)); Tick(p, Qt::white); });
        case 4: return Draw([](QPainter& p, const QRectF& r) { Disc(p, r, QColor(210, 50, 40)); Cross(p, Qt::white); });
        default: return {};
    }
}

QIcon MakeStatus(int index) {
    switch (index) {
        case 0: return Draw([](QPainter& p, const QRectF&) { Hourglass(p, QColor(230, 170, 30)); });
        case 2: return Draw([](QPainter& p, const QRectF& r) { Disc(p, r, QColor(190, 190, 190)); });
        case 3:  // online: a lit globe
            return Draw([](QPainter& p, const QRectF& r) {
                Disc(p, r, QColor(60, 150, 220));
                p.setPen(QPen(Qt::white, 1));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QRectF(5.5, 1.5, 5, 13));
                p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
            });
        case 4:  // offline: a grey globe, struck through
            return Draw([](QPainter& p, const QRectF& r) {
                Disc(p, r, QColor(160, 160, 160));
                p.setPen(QPen(QColor(200, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(3, 13), QPointF(13, 3));
            });
        case 5:  // link checker busy
            return Draw([](QPainter& p, const QRectF& r) {
                Disc(p, r, QColor(230, 170, 30));
                Tick(p, Qt::white);
            });
        case 6: return Draw([](QPainter& p, const QRectF& r) { Disc(p, r, QColor(190, 190, 190)); Tick(p, Qt::white); });
        default: return {};
    }
}

QIcon MakeTool(int index) {
    switch (index) {
        case 13:  // link: two chain rings
            return Draw([](QPainter& p, const QRectF&) {
                p.setPen(QPen(QColor(40, 90, 180), 2));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(QRectF(1.5, 5.5, 8, 5), 2.5, 2.5);
                p.drawRoundedRect(QRectF(6.5, 5.5, 8, 5), 2.5, 2.5);
            });
        case 23: return Draw([](QPainter& p, const QRectF&) { Page(p, QColor(215, 215, 215)); });
        case 24:
            return Draw([](QPainter& p, const QRectF&) {
                Page(p, Qt::white);
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(240, 190, 20));
                p.drawEllipse(QRectF(8, 8, 7, 7));
            });
        case 27:
        case 28:  // the deleted view: an empty or a filled bin
            return Draw([index](QPainter& p, const QRectF&) {
                p.setPen(QPen(QColor(80, 80, 80), 1));
                p.setBrush(index == 28 ? QColor(200, 120, 60) : QColor(235, 235, 235));
                p.drawPolygon(QPolygonF({QPointF(3.5, 4.5), QPointF(12.5, 4.5), QPointF(11.5, 14.5), QPointF(4.5, 14.5)}));
                p.drawLine(QPointF(2, 3), QPointF(14, 3));
                p.drawLine(QPointF(6.5, 1.5), QPointF(9.5, 1.5));
            });
        case 34:
            return Draw([](QPainter& p, const QRectF&) {
                Page(p, Qt::white);
                p.setPen(QPen(QColor(50, 120, 210), 1));
                for (double y : {6.5, 9.0, 11.5}) p.drawLine(QPointF(5, y), QPointF(11, y));
            });
        default:
            if (index < 0) return {};
            return Draw([index](QPainter& p, const QRectF& r) {
                Badge(p, r, QColor(110, 120, 140), QString::number(index));
            });
    }
}

// Pictures are made on first use (a pixmap needs the application object) and
// kept for the life of the program.
QIcon Cached(QHash<int, QIcon>& cache, int index, QIcon (*make)(int)) {
    auto it = cache.find(index);
    if (it == cache.end()) it = cache.insert(index, make(index));
    return *it;
}

}  // namespace

QIcon RowPicture(int index) {
    static QHash<int, QIcon> cache;
    return Cached(cache, index, MakeRow);
}

QIcon EnginePicture(int index) {
    static QHash<int, QIcon> cache;
    return Cached(cache, index, MakeEngine);
}

QIcon StatusPicture(int index) {
    static QHash<int, QIcon> cache;
    return Cached(cache, index, MakeStatus);
}

QIcon ToolPicture(int index) {
    static QHash<int, QIcon> cache;
    return Cached(cache, index, MakeTool);
}

}  // namespace trawler::ui::pictures
