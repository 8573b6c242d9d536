#include "grid_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

#include <algorithm>

namespace quorvil {

namespace {

// Gap between a cell's edges and its text.
constexpr int kTextMargin = 2;

bool FitsIn(const QFontMetrics& metrics, const QString& text, int width)
{
    if (text.size() * qsizetype(metrics.maxWidth()) <= width)
        return true;
    // A value can hold thousands of characters; measure only what could
    // possibly show before measuring all of it.
    const qsizetype probe = std::max(256, 4 * width);
    if (text.size() > probe && metrics.horizontalAdvance(text.left(probe)) > width)
        return false;
    return metrics.horizontalAdvance(text) <= width;
}

}  // namespace

QString ShortenText(const QFontMetrics& metrics, const QString& text, int width)
{
    static const QString dots = QStringLiteral("...");
    // Measured against the room between the margins, so that a text a few
    // pixels too wide is shortened instead of cut through its last letter.
    if (FitsIn(metrics, text, width - 2 * kTextMargin))
        return text;
    const int room = width - metrics.horizontalAdvance(dots) - 6;
    // Longest prefix that fits in `room`: estimated from the advances of
    // single characters, then settled by measuring whole prefixes (kerning).
    qsizetype keep = 0;
    for (int sum = 0; keep < text.size(); ++keep) {
        sum += metrics.horizontalAdvance(text[keep]);
        if (sum > room)
            break;
    }
    while (keep > 0 && metrics.horizontalAdvance(text.left(keep)) > room)
        --keep;
    while (keep < text.size() && metrics.horizontalAdvance(text.left(keep + 1)) <= room)
        ++keep;
    return text.left(keep) + dots;
}

bool FitsInCell(const QFontMetrics& metrics, const QString& text, int width)
{
    return FitsIn(metrics, text, width - 2 * kTextMargin);
}

QString HashFill(const QFontMetrics& metrics, int width)
{
    const int hash = std::max(1, metrics.horizontalAdvance(QLatin1Char('#')));
    return QString(std::max(1, (width - 2 * kTextMargin) / hash), QLatin1Char('#'));
}

Qt::Alignment ToQtAlignment(THorzAlign horz, TVertAlign vert)
{
    Qt::Alignment result;
    switch (horz) {
    case THorzAlign::Left: result = Qt::AlignLeft; break;
    case THorzAlign::Center: result = Qt::AlignHCenter; break;
    case THorzAlign::Right: result = Qt::AlignRight; break;
    }
    switch (vert) {
    case TVertAlign::Top: result |= Qt::AlignTop; break;
    case TVertAlign::Center: result |= Qt::AlignVCenter; break;
    case TVertAlign::Bottom: result |= Qt::AlignBottom; break;
    }
    return result;
}

void DrawCellText(QPainter& painter, const QRect& cell, const QString& text, TOverflow overflow, THorzAlign horz,
                  TVertAlign vert)
{
    if (text.isEmpty())
        return;
    const QRect inner = cell.adjusted(kTextMargin, 0, -kTextMargin, 0);
    int flags = int(ToQtAlignment(horz, vert));
    QString shown = text;
    switch (overflow) {
    case TOverflow::Clip: flags |= Qt::TextSingleLine; break;
    case TOverflow::Ellipsis:
        flags |= Qt::TextSingleLine;
        shown = ShortenText(painter.fontMetrics(), text, cell.width());
        break;
    case TOverflow::WordWrap: flags |= Qt::TextWordWrap; break;
    }
    painter.drawText(inner, flags, shown);  // clipped to `inner`
}

}  // namespace quorvil
