#include "print_text.h"

#include "jfile.h"
#include "text_case.h"
#include "text_convert.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace quorvil {

namespace {

constexpr double kDotsPerPoint = 1200.0 / 72;
// A sum of single advances stands for the shaped width only with room to
// spare: kerning moves a line's end by far less than this.
constexpr double kEstimateSlack = 0.97;
// From Hebrew to the Hangul letters a character's shape may depend on its
// neighbours (Arabic, the Indic scripts); outside them, CJK included, it
// does not.
constexpr char16_t kFirstJoiningScript = 0x0590;
constexpr char16_t kHangulJamo = 0x1100;

QFont PrintFont(int points, double scale, bool bold)
{
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(int(std::lround(points * scale * kDotsPerPoint)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    // A letter spacing, of half a dot, keeps Qt from joining "fi" into one
    // glyph, which a search of the PDF would not find as two letters.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    return font;
}

}  // namespace

QString ShownText(const TJFILE& db, std::string_view value, TFieldType type)
{
    if (FactsOf(type).Value == TValueKind::Boolean) {
        if (value == "1" || SameTextIgnoringCase(value, db.TrueText()))
            return QString(QChar(0x2713));
        if (value.empty() || value == "0" || SameTextIgnoringCase(value, db.FalseText()))
            return {};
    }
    QString text = ToQString(value, db.Charset());
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

TPrintFonts::TPrintFonts(int points)
    : body_(PrintFont(points, 1, false)), bold_(PrintFont(points, 1, true)), title_(PrintFont(points, 1.35, true)),
      bodyMetrics_(body_), boldMetrics_(bold_), titleMetrics_(title_), raw_(QRawFont::fromFont(body_)),
      advances_(0x10000, -1.0f), glyphs_(0x10000, kUnknownGlyph)
{
}

QString TPrintFonts::Elided(const QString& text, double width, const QFont& font) const
{
    return QFontMetricsF(font).elidedText(text, Qt::ElideRight, width);
}

bool TPrintFonts::Simple(const QString& text, bool bold) const
{
    if (bold)
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (c.isSurrogate() || (u >= kFirstJoiningScript && u < kHangulJamo))
            return false;
    }
    return true;
}

double TPrintFonts::Advance(QChar c) const
{
    float& advance = advances_[c.unicode()];
    if (advance < 0)
        advance = float(bodyMetrics_.horizontalAdvance(c));
    return advance;
}

bool TPrintFonts::FitsOneLine(const QString& text, double width, bool bold) const
{
    if (text.contains(QLatin1Char('\n')))
        return false;
    if (Simple(text, bold)) {
        double sum = 0;
        for (const QChar c : text)
            sum += Advance(c);
        // Text of this kind is never shaped: the wrap measures it the same way.
        return sum <= width * kEstimateSlack;
    }
    return (bold ? boldMetrics_ : bodyMetrics_).horizontalAdvance(text) <= width;
}

void TPrintFonts::WrapSimple(const QString& paragraph, double width, QStringList& lines) const
{
    // Greedy, on the characters' own advances with the slack to spare:
    // after a space or a hyphen where one is, else anywhere (as CJK text
    // breaks).
    const double limit = width * kEstimateSlack;
    const qsizetype n = paragraph.size();
    qsizetype start = 0;
    while (start < n) {
        double used = 0;
        qsizetype breakAt = -1;
        qsizetype i = start;
        for (; i < n; ++i) {
            const double advance = Advance(paragraph[i]);
            if (used + advance > limit && i > start)
                break;
            used += advance;
            if (paragraph[i] == QLatin1Char(' ') || paragraph[i] == QLatin1Char('-'))
                breakAt = i + 1;
        }
        qsizetype end = i;
        if (i < n && paragraph[i] != QLatin1Char(' ') && breakAt > start)
            end = breakAt;
        lines << paragraph.mid(start, end - start);
        start = end;
        while (start < n && paragraph[start] == QLatin1Char(' '))
            ++start;
    }
}

QStringList TPrintFonts::Lines(const QString& text, double width, bool bold) const
{
    if (FitsOneLine(text, width, bold))
        return {text};
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (FitsOneLine(paragraph, width, bold)) {
            lines << paragraph;
        } else if (Simple(paragraph, bold)) {
            WrapSimple(paragraph, width, lines);
        } else {
            QTextLayout layout(paragraph, bold ? bold_ : body_);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(std::max(width, 1.0));
                lines << paragraph.mid(line.textStart(), line.textLength());
            }
            layout.endLayout();
        }
    }
    return lines;
}

int TPrintFonts::LineCount(const QString& text, double width, bool bold) const
{
    return FitsOneLine(text, width, bold) ? 1 : int(Lines(text, width, bold).size());
}

double TPrintFonts::OneLineWidth(const QString& text) const
{
    return Simple(text, false) ? SimpleWidth(text) / kEstimateSlack : Width(text);
}

double TPrintFonts::SimpleWidth(const QString& text) const
{
    double sum = 0;
    for (const QChar c : text)
        sum += Advance(c);
    return sum;
}

bool TPrintFonts::DrawSimple(QPainter& painter, const QPointF& at, const QString& line) const
{
    // The glyphs placed at the advances the wrap measured: no shaping, and
    // what is painted is exactly as wide as what was measured. A character
    // the font lacks goes to the painter, which finds a font that has it.
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(line.size());
    positions.reserve(line.size());
    double x = 0;
    for (const QChar c : line) {
        quint32& glyph = glyphs_[c.unicode()];
        if (glyph == kUnknownGlyph) {
            const QList<quint32> found = raw_.glyphIndexesForString(QString(c));
            glyph = found.size() == 1 ? found.front() : 0;
        }
        if (glyph == 0)
            return false;
        indexes << glyph;
        positions << QPointF(x, 0);
        x += Advance(c);
    }
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    painter.drawGlyphRun(at, run);
    return true;
}

void TPrintFonts::Paint(QPainter& painter, const QString& text, const QRectF& box, int first, int count, TAlign align,
                        bool bold) const
{
    if (text.isEmpty())
        return;
    const QStringList lines = Lines(text, box.width(), bold);
    const QFontMetricsF& metrics = bold ? boldMetrics_ : bodyMetrics_;
    painter.setFont(bold ? bold_ : body_);
    double y = box.top() + metrics.ascent();
    for (int i = first; i < std::min<int>(first + count, int(lines.size())); ++i) {
        const QString& line = lines[i];
        const bool simple = Simple(line, bold);
        double x = box.left();
        if (align != TAlign::Left) {
            const double spare = box.width() - (simple ? SimpleWidth(line) : metrics.horizontalAdvance(line));
            x += align == TAlign::Right ? spare : spare / 2;
        }
        if (!simple || !DrawSimple(painter, QPointF(x, y), line))
            painter.drawText(QPointF(x, y), line);
        y += metrics.lineSpacing();
    }
}

}  // namespace quorvil
