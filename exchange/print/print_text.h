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

// The body, bold and title fonts of a printout at `points`, measured in
// dots of 1200 per inch, unhinted so that every device lays out alike.
class TPrintFonts {
public:
    explicit TPrintFonts(int points);

    const QFont& Body() const { return body_; }
    const QFont& Title() const { return title_; }
    double LineHeight() const { return bodyMetrics_.lineSpacing(); }
    double Ascent() const { return bodyMetrics_.ascent(); }
    double TitleHeight() const { return titleMetrics_.lineSpacing(); }
    double TitleAscent() const { return titleMetrics_.ascent(); }
    double CharWidth() const { return bodyMetrics_.averageCharWidth(); }
    double Width(const QString& text) const { return bodyMetrics_.horizontalAdvance(text); }
    double BoldWidth(const QString& text) const { return boldMetrics_.horizontalAdvance(text); }
    // The width a body text needs to be kept on one line.
    double OneLineWidth(const QString& text) const;
    QString Elided(const QString& text, double width, const QFont& font) const;

    // `text` in lines no wider than `width`: its own line breaks kept, then
    // broken between words, and inside a word longer than a line.
    QStringList Lines(const QString& text, double width, bool bold = false) const;
    int LineCount(const QString& text, double width, bool bold = false) const;
    // Paints lines [first, first + count) of `text` wrapped to the width of
    // `box`, the first of them at its top.
    void Paint(QPainter& painter, const QString& text, const QRectF& box, int first, int count, TAlign align,
               bool bold) const;

private:
    // Whether `text` may be measured a character at a time: body text of
    // scripts whose characters do not change shape beside each other.
    bool Simple(const QString& text, bool bold) const;
    double Advance(QChar c) const;
    bool FitsOneLine(const QString& text, double width, bool bold) const;
    void WrapSimple(const QString& paragraph, double width, QStringList& lines) const;
    double SimpleWidth(const QString& text) const;
    // False, painting nothing, when the body font lacks one of the characters.
    bool DrawSimple(QPainter& painter, const QPointF& at, const QString& line) const;

    QFont body_;
    QFont bold_;
    QFont title_;
    QFontMetricsF bodyMetrics_;
    QFontMetricsF boldMetrics_;
    QFontMetricsF titleMetrics_;
    // The advance of each character of the Basic Multilingual Plane, found
    // on first use (negative until then): most values are told to fit on a
    // line without shaping them.
    QRawFont raw_;
    mutable std::vector<float> advances_;
    // The body font's glyph of each character, 0 for none.
    static constexpr quint32 kUnknownGlyph = ~quint32(0);
    mutable std::vector<quint32> glyphs_;
};

}  // namespace quorvil
