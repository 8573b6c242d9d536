#pragma once
// Text drawing shared by the grid's cells and titles.
#include "grid_column.h"

#include <QString>

class QFontMetrics;
class QPainter;
class QRect;

namespace quorvil {

// `text` when it fits in a cell `width` pixels wide (within the small
// margins cells keep); otherwise as many leading characters as fit in width
// less the width of "..." and 6 pixels, followed by "...".
QString ShortenText(const QFontMetrics& metrics, const QString& text, int width);

// `text` fits whole in a cell `width` pixels wide, within its margins.
bool FitsInCell(const QFontMetrics& metrics, const QString& text, int width);
// As many '#' as fit in a cell `width` pixels wide (at least one): what a
// number too wide for its cell shows instead of cut digits.
QString HashFill(const QFontMetrics& metrics, int width);

Qt::Alignment ToQtAlignment(THorzAlign horz, TVertAlign vert);

// Draws `text` in `cell` with the painter's font and pen: clipped, shortened
// with "..." or word-wrapped. The text keeps a small margin from the edges.
void DrawCellText(QPainter& painter, const QRect& cell, const QString& text, TOverflow overflow, THorzAlign horz,
                  TVertAlign vert);

}  // namespace quorvil
