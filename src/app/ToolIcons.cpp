#include "app/ToolIcons.h"

#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kSize = 24;

void Page(QPainter& p, QRectF r) {
    const qreal fold = 4;
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({r.topLeft(),
                             {r.right() - fold, r.top()},
                             {r.right(), r.top() + fold},
                             r.bottomRight(),
                             r.bottomLeft()}));
    p.drawPolyline(QPolygonF(
        {{r.right() - fold, r.top()}, {r.right() - fold, r.top() + fold}, {r.right(), r.top() + fold}}));
}

void Lines(QPainter& p, qreal left, qreal right, std::initializer_list<qreal> ys) {
    for (qreal y : ys)
        p.drawLine(QPointF(left, y), QPointF(right, y));
}

void Magnifier(QPainter& p, const char* sign) {
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    QPen handle = p.pen();
    handle.setWidthF(3.5);
    p.setPen(handle);
    p.drawLine(QPointF(15, 15), QPointF(21.5, 21.5));
    p.setPen(QPen(Qt::black, 1.6));
    if (*sign) p.drawLine(QPointF(7, 10), QPointF(13, 10));
    if (*sign == '+') p.drawLine(QPointF(10, 7), QPointF(10, 13));
}

void Draw(QPainter& p, TToolIcon which) {
    switch (which) {
    case TToolIcon::New:
        Page(p, {5, 2, 14, 20});
        break;
    case TToolIcon::Open:
        p.setBrush(QColor(240, 200, 90));
        p.drawPolygon(QPolygonF({{2, 5}, {9, 5}, {11, 8}, {21, 8}, {21, 20}, {2, 20}}));
        break;
    case TToolIcon::Save:
        p.setBrush(QColor(90, 120, 190));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 6));
        p.drawRect(QRectF(6, 13, 12, 8));
        break;
    case TToolIcon::Print: // a printer with a sheet coming out
        Page(p, {6, 2, 12, 8});
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(2, 9, 20, 9), 1.5, 1.5);
        Page(p, {6, 14, 12, 8});
        Lines(p, 8, 16, {17.5, 19.5});
        break;
    case TToolIcon::Cut:
        p.drawLine(QPointF(9, 15.5), QPointF(16, 2));
        p.drawLine(QPointF(15, 15.5), QPointF(8, 2));
        p.setBrush(QColor(200, 60, 60));
        p.drawEllipse(QPointF(7, 18), 3, 3);
        p.drawEllipse(QPointF(17, 18), 3, 3);
        break;
    case TToolIcon::Copy:
        Page(p, {3, 2, 11, 14});
        Page(p, {10, 8, 11, 14});
        break;
    case TToolIcon::Paste:
        p.setBrush(QColor(180, 130, 80));
        p.drawRoundedRect(QRectF(3, 4, 15, 18), 1.5, 1.5);
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(QRectF(7, 2, 7, 4));
        Page(p, {9, 9, 12, 13});
        break;
    case TToolIcon::Find:
        Magnifier(p, "");
        break;
    case TToolIcon::ZoomIn:
        Magnifier(p, "+");
        break;
    case TToolIcon::ZoomOut:
        Magnifier(p, "-");
        break;
    case TToolIcon::WrapNone: // long lines running on past the edge
        Lines(p, 2, 24, {5, 10, 15});
        Lines(p, 2, 10, {20});
        p.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
        p.drawLine(QPointF(17.5, 1), QPointF(17.5, 23));
        break;
    case TToolIcon::WrapWindow:
        p.setBrush(QColor(225, 225, 225));
        p.drawRect(QRectF(1.5, 1.5, 21, 21));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 5.5, 21, 17));
        Lines(p, 4, 20, {9, 13, 17});
        Lines(p, 4, 12, {20});
        break;
    case TToolIcon::WrapPrinter:
        Page(p, {4, 1.5, 16, 21});
        Lines(p, 7, 15, {8, 11, 14});
        Lines(p, 7, 11, {17});
        break;
    case TToolIcon::Properties: // a page with an information mark
        Page(p, {3, 1.5, 15, 21});
        p.setBrush(QColor(40, 90, 170));
        p.drawEllipse(QPointF(17, 17), 5.5, 5.5);
        p.setPen(QPen(Qt::white, 1.8));
        p.drawLine(QPointF(17, 16), QPointF(17, 20));
        p.drawPoint(QPointF(17, 13.8));
        break;
    case TToolIcon::Merge: // a page going into another
        Page(p, {9, 6, 13, 16});
        p.setBrush(QColor(60, 140, 60));
        p.drawPolygon(QPolygonF({{1, 6}, {6, 6}, {6, 3}, {11, 8}, {6, 13}, {6, 10}, {1, 10}}));
        break;
    case TToolIcon::FlowText: // ragged lines running together
        Lines(p, 2, 12, {5, 13});
        Lines(p, 2, 9, {9, 17});
        p.setBrush(QColor(60, 100, 180));
        p.drawPolygon(QPolygonF({{14, 9}, {18, 9}, {18, 6}, {23, 11}, {18, 16}, {18, 13}, {14, 13}}));
        Lines(p, 2, 22, {21});
        break;
    case TToolIcon::Reformat: { // quoted lines
        QFont font = p.font();
        font.setPixelSize(10);
        font.setBold(true);
        p.setFont(font);
        for (const qreal y : {2.0, 9.0, 16.0})
            p.drawText(QRectF(1, y, 6, 7), Qt::AlignCenter, ">");
        Lines(p, 9, 22, {5.5, 12.5});
        Lines(p, 9, 16, {19.5});
        break;
    }
    case TToolIcon::WrapChars: {
        Lines(p, 2, 14, {5, 10, 15});
        Lines(p, 2, 8, {20});
        QFont font = p.font();
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(14, 6, 10, 12), Qt::AlignCenter, "n");
        break;
    }
    }
}

const char* ThemeName(TToolIcon which) {
    switch (which) {
    case TToolIcon::New:
        return "document-new";
    case TToolIcon::Open:
        return "document-open";
    case TToolIcon::Save:
        return "document-save";
    case TToolIcon::Print:
        return "document-print";
    case TToolIcon::Cut:
        return "edit-cut";
    case TToolIcon::Copy:
        return "edit-copy";
    case TToolIcon::Paste:
        return "edit-paste";
    case TToolIcon::Find:
        return "edit-find";
    case TToolIcon::ZoomIn:
        return "zoom-in";
    case TToolIcon::ZoomOut:
        return "zoom-out";
    case TToolIcon::Properties:
        return "document-properties";
    default:
        return nullptr; // no theme has pictures of the wrap modes or the mail commands
    }
}

} // namespace

QIcon ToolIcon(TToolIcon which) {
    if (const char* name = ThemeName(which); name && QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    QPixmap image(kSize, kSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 1.3));
    Draw(painter, which);
    painter.end();
    return QIcon(image);
}
