#pragma once
// The texts of a printout: a value as the views show it, and the fonts that
// measure, wrap and paint it in layout units.
#include "field_types.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>
#include <QString>
#include <QStringList>

#include <string_view>
#include <vector>

class QPainter;
class QPointF;
class QRectF;

namespace quorvil {

class TJFILE;

// A value as the views show it: a Boolean's truth as a tick, line breaks as
// line breaks (CR LF, CR and LF alike), a tab as a space.
QString ShownText(const TJFILE& db, std::string_view value, TFieldType type);

enum class TFace { Body, Bold, Title };

// The body, bold and title fonts of a printout at `points`, measured in
// dots of 1200 per inch. Text of the scripts whose letters keep their shape
// side by side (Latin, Greek, Cyrillic, CJK, ...) is measured a character at
// a time and painted as those glyphs at those places, so that every device
// paints exactly what was measured, whatever its own font metrics; other
// text is shaped, and measured with room to spare.
class TPrintFonts {
public:
    explicit TPrintFonts(int points);

    double LineHeight() const { return Of(TFace::Body).Metrics.lineSpacing(); }
    double Ascent(TFace face) const { return Of(face).Metrics.ascent(); }
    double Height(TFace face) const { return Of(face).Metrics.lineSpacing(); }
    double CharWidth() const { return Of(TFace::Body).Metrics.averageCharWidth(); }
    // The width `text` takes on one line.
    double Width(const QString& text, TFace face = TFace::Body) const;
    // `text` cut with an ellipsis to `width`.
    QString Elided(const QString& text, double width, TFace face) const;

    // `text` in lines no wider than `width`: its own line breaks kept, then
    // broken after a space or hyphen, and inside a word longer than a line.
    QStringList Lines(const QString& text, double width, TFace face = TFace::Body) const;
    int LineCount(const QString& text, double width, TFace face = TFace::Body) const;
    // Paints lines [first, first + count) of `text` wrapped to the width of
    // `box`, the first of them at its top.
    void Paint(QPainter& painter, const QString& text, const QRectF& box, int first, int count, TAlign align,
               TFace face) const;
    // Paints one line with its baseline's start at `at`.
    void PaintLine(QPainter& painter, const QString& line, const QPointF& at, TFace face) const;

private:
    struct TFont {
        explicit TFont(const QFont& font);
        QFont Font;
        QFontMetricsF Metrics;
        QRawFont Raw;
        // Each character's advance and glyph, found on first use.
        mutable std::vector<float> Advances;
        mutable std::vector<quint32> Glyphs;
        double Advance(QChar c) const;
        quint32 Glyph(QChar c) const;  // 0: the font has none
    };
    const TFont& Of(TFace face) const { return fonts_[size_t(face)]; }
    double SimpleWidth(const QString& text, const TFont& font) const;
    bool FitsOneLine(const QString& text, double width, const TFont& font) const;
    void WrapSimple(const QString& paragraph, double width, const TFont& font, QStringList& lines) const;

    std::vector<TFont> fonts_;
};

}  // namespace quorvil
