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

// Characters a glyph and an advance are kept for: the Basic Multilingual
// Plane (a surrogate is never simple).
constexpr size_t kKeptCharacters = 0x10000;
constexpr quint32 kUnknownGlyph = ~quint32(0);

bool Simple(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (c.isSurrogate() || (u >= kFirstJoiningScript && u < kHangulJamo))
            return false;
    }
    return true;
}

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

TPrintFonts::TFont::TFont(const QFont& font)
    : Font(font), Metrics(font), Raw(QRawFont::fromFont(font)), Advances(kKeptCharacters, -1.0f),
      Glyphs(kKeptCharacters, kUnknownGlyph)
{
}

double TPrintFonts::TFont::Advance(QChar c) const
{
    float& advance = Advances[c.unicode()];
    if (advance < 0)
        advance = float(Metrics.horizontalAdvance(c));
    return advance;
}

quint32 TPrintFonts::TFont::Glyph(QChar c) const
{
    quint32& glyph = Glyphs[c.unicode()];
    if (glyph == kUnknownGlyph) {
        const QList<quint32> found = Raw.glyphIndexesForString(QString(c));
        glyph = found.size() == 1 ? found.front() : 0;
    }
    return glyph;
}

TPrintFonts::TPrintFonts(int points)
{
    fonts_.emplace_back(PrintFont(points, 1, false));
    fonts_.emplace_back(PrintFont(points, 1, true));
    fonts_.emplace_back(PrintFont(points, 1.35, true));
}

double TPrintFonts::SimpleWidth(const QString& text, const TFont& font) const
{
    double sum = 0;
    for (const QChar c : text)
        sum += font.Advance(c);
    return sum;
}

double TPrintFonts::Width(const QString& text, TFace face) const
{
    const TFont& font = Of(face);
    return Simple(text) ? SimpleWidth(text, font) / kEstimateSlack : font.Metrics.horizontalAdvance(text);
}

QString TPrintFonts::Elided(const QString& text, double width, TFace face) const
{
    if (Width(text, face) <= width)
        return text;
    const QString ellipsis(QChar(0x2026));
    QString cut = text;
    while (!cut.isEmpty() && Width(cut + ellipsis, face) > width)
        cut.chop(1);
    return cut + ellipsis;
}

bool TPrintFonts::FitsOneLine(const QString& text, double width, const TFont& font) const
{
    if (text.contains(QLatin1Char('\n')))
        return false;
    // The slack is for the devices whose own metrics differ, where a
    // character goes to a font of the painter's choosing.
    return (Simple(text) ? SimpleWidth(text, font) : font.Metrics.horizontalAdvance(text)) <= width * kEstimateSlack;
}

void TPrintFonts::WrapSimple(const QString& paragraph, double width, const TFont& font, QStringList& lines) const
{
    // Greedy: after a space or a hyphen where one is, else anywhere (as CJK
    // text breaks).
    const double limit = width * kEstimateSlack;
    const qsizetype n = paragraph.size();
    qsizetype start = 0;
    while (start < n) {
        double used = 0;
        qsizetype breakAt = -1;
        qsizetype i = start;
        for (; i < n; ++i) {
            const double advance = font.Advance(paragraph[i]);
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

QStringList TPrintFonts::Lines(const QString& text, double width, TFace face) const
{
    const TFont& font = Of(face);
    if (FitsOneLine(text, width, font))
        return {text};
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (FitsOneLine(paragraph, width, font)) {
            lines << paragraph;
        } else if (Simple(paragraph)) {
            WrapSimple(paragraph, width, font, lines);
        } else {
            QTextLayout layout(paragraph, font.Font);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(std::max(width * kEstimateSlack, 1.0));
                lines << paragraph.mid(line.textStart(), line.textLength());
            }
            layout.endLayout();
        }
    }
    return lines;
}

int TPrintFonts::LineCount(const QString& text, double width, TFace face) const
{
    return FitsOneLine(text, width, Of(face)) ? 1 : int(Lines(text, width, face).size());
}

void TPrintFonts::PaintLine(QPainter& painter, const QString& line, const QPointF& at, TFace face) const
{
    // The glyphs placed at the advances measured: no shaping, and what is
    // painted is as wide as what was measured on every device. A character
    // the font lacks sends the line to the painter, which finds a font that
    // has it.
    const TFont& font = Of(face);
    if (Simple(line)) {
        QList<quint32> indexes;
        QList<QPointF> positions;
        indexes.reserve(line.size());
        positions.reserve(line.size());
        double x = 0;
        for (const QChar c : line) {
            const quint32 glyph = font.Glyph(c);
            if (glyph == 0)
                break;
            indexes << glyph;
            positions << QPointF(x, 0);
            x += font.Advance(c);
        }
        if (indexes.size() == line.size()) {
            QGlyphRun run;
            run.setRawFont(font.Raw);
            run.setGlyphIndexes(indexes);
            run.setPositions(positions);
            painter.drawGlyphRun(at, run);
            return;
        }
    }
    painter.setFont(font.Font);
    painter.drawText(at, line);
}

void TPrintFonts::Paint(QPainter& painter, const QString& text, const QRectF& box, int first, int count, TAlign align,
                        TFace face) const
{
    if (text.isEmpty())
        return;
    const QStringList lines = Lines(text, box.width(), face);
    const TFont& font = Of(face);
    double y = box.top() + font.Metrics.ascent();
    for (int i = first; i < std::min<int>(first + count, int(lines.size())); ++i) {
        const QString& line = lines[i];
        double x = box.left();
        if (align != TAlign::Left) {
            const double spare = box.width() - Width(line, face) * kEstimateSlack;
            x += align == TAlign::Right ? spare : spare / 2;
        }
        PaintLine(painter, line, QPointF(x, y), face);
        y += font.Metrics.lineSpacing();
    }
}

}  // namespace quorvil
