#include "app_icons.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace quorvil {

namespace {

// Drawn on a 16 x 16 grid and scaled, in the bundled theme's colours.
const QColor kInk(0x2e, 0x34, 0x36);
const QColor kBlue(0x34, 0x65, 0xa4);
const QColor kPaper(0xfa, 0xfa, 0xf8);
const QColor kHeader(0xba, 0xcf, 0xe6);

using Painter = std::function<void(QPainter&)>;

void Sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void SortAscending(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (int k = 0; k < 4; ++k)
        p.fillRect(QRectF(1, 2.5 + 3.5 * k, 2.5 + 2 * k, 2), kInk);
    // The arrow: small values at the top, large at the bottom.
    p.setBrush(kBlue);
    p.fillRect(QRectF(11.5, 1.5, 2, 9), kBlue);
    QPainterPath head;
    head.moveTo(9, 10);
    head.lineTo(16, 10);
    head.lineTo(12.5, 14.5);
    head.closeSubpath();
    p.drawPath(head);
}

void Grid(QPainter& p)
{
    Sheet(p, QRectF(1.5, 2.5, 13, 11));
    p.fillRect(QRectF(2, 3, 12, 3), kHeader);
    p.setPen(QPen(kInk, 1));
    for (const double x : {5.5, 10.0})
        p.drawLine(QPointF(x, 2.5), QPointF(x, 13.5));
    for (const double y : {6.0, 9.5})
        p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
}

void List(QPainter& p)
{
    for (int k = 0; k < 4; ++k) {
        const double y = 2 + 3.5 * k;
        p.fillRect(QRectF(1, y, 2.5, 2.5), kBlue);
        p.fillRect(QRectF(5, y + 0.5, 10, 1.5), kInk);
    }
}

void Form(QPainter& p)
{
    Sheet(p, QRectF(1.5, 1.5, 13, 13));
    for (int k = 0; k < 3; ++k) {
        const double y = 3.5 + 3.5 * k;
        p.fillRect(QRectF(3, y + 0.5, 3, 1.5), kInk);
        p.setPen(QPen(kBlue, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7.5, y - 0.5, 5.5, 2.5));
    }
}

void Split(QPainter& p)
{
    Sheet(p, QRectF(0.5, 3.5, 5, 9));
    Sheet(p, QRectF(10.5, 0.5, 5, 6));
    Sheet(p, QRectF(10.5, 9.5, 5, 6));
    p.setPen(QPen(kBlue, 1.5));
    p.drawLine(QPointF(6, 8), QPointF(8, 8));
    p.drawLine(QPointF(8, 8), QPointF(9.5, 4));
    p.drawLine(QPointF(8, 8), QPointF(9.5, 12));
}

// Split read from right to left: two sheets become one.
void Merge(QPainter& p)
{
    p.translate(16, 0);
    p.scale(-1, 1);
    Split(p);
}

void Import(QPainter& p)
{
    Grid(p);
    p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0.5, 11), QPointF(7, 11));
    p.drawLine(QPointF(7, 11), QPointF(4.5, 8.5));
    p.drawLine(QPointF(7, 11), QPointF(4.5, 13.5));
}

void CloseTab(QPainter& p)
{
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
}

void About(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.fillRect(QRectF(7, 7, 2, 5.5), Qt::white);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6.8, 3.5, 2.4, 2.4));
}

struct Drawing {
    const char* name;
    Painter paint;
};

const Drawing kDrawings[] = {
    {"view-sort-ascending", SortAscending},
    {"quorvil-grid", Grid},
    {"quorvil-list", List},
    {"quorvil-record", Form},
    {"quorvil-split", Split},
    {"quorvil-merge", Merge},
    {"quorvil-import", Import},
    {"window-close", CloseTab},
    {"help-about", About},
};

QPixmap Paint(const Painter& paint, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    paint(p);
    return pixmap;
}

}  // namespace

QIcon DrawnIcon(const QString& name)
{
    for (const Drawing& drawing : kDrawings) {
        if (name != QLatin1String(drawing.name))
            continue;
        QIcon icon;
        for (const int size : {16, 22, 24, 32, 48, 64})
            icon.addPixmap(Paint(drawing.paint, size));
        return icon;
    }
    return {};
}

QIcon NamedIcon(const QStringList& names, QStyle::StandardPixmap fallback)
{
    // Found once a run: the style's own icons are decoded from images, which
    // costs the window a good part of its start.
    static QHash<QString, QIcon> found;
    // Let go with the application, as pixmaps must not outlive it.
    static const bool releases = (qAddPostRoutine([] { found.clear(); }), true);
    (void)releases;
    const QString key = names.join(QLatin1Char('|')) + QLatin1Char('#') + QString::number(int(fallback));
    if (const auto known = found.constFind(key); known != found.constEnd())
        return *known;
    QIcon icon;
    for (const QString& name : names)
        if (icon = QIcon::fromTheme(name); !icon.isNull())
            break;
    for (const QString& name : names)
        if (icon.isNull())
            icon = DrawnIcon(name);
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(fallback);
    found.insert(key, icon);
    return icon;
}

}  // namespace quorvil
