#include "print_document.h"

#include "field_types.h"
#include "jfile.h"
#include "print_flow.h"
#include "print_text.h"
#include "progress.h"
#include "text_convert.h"

#include <QDate>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quorvil {

namespace {

// Layout units: dots of a 1200 dpi device, the PDF writer's own resolution,
// so a PDF page is painted unscaled.
constexpr double kDots = 1200;
// A grid pixel (96 per inch) of a 9-point grid font, in dots at 9 points.
constexpr double kDotsPerGridPixel = kDots / 96;
constexpr double kMarginMillimetres = 12;
// Columns up to this many page widths are narrowed onto one page.
constexpr double kShrinkToFit = 1.5;

// What a page of a table shows: one group of columns, from a point of its rows.
struct TPageStart {
    int Group = 0;
    TFlowPoint From;
};

struct TColumn {
    int Field;
    double Width;  // in dots
    TAlign Align;
};

// The width that, given to every column wider than it, makes the columns
// `width` wide together.
double CommonCap(const std::vector<TColumn>& columns, double width)
{
    std::vector<double> widths;
    for (const TColumn& c : columns)
        widths.push_back(c.Width);
    std::sort(widths.begin(), widths.end());
    double narrow = 0;  // of the columns below the cap
    for (size_t i = 0; i < widths.size(); ++i) {
        const double cap = (width - narrow) / double(widths.size() - i);
        if (cap <= widths[i])
            return cap;
        narrow += widths[i];
    }
    return widths.empty() ? width : widths.back();
}

}  // namespace

struct TPrintDocument::TImpl {
    const TJFILE& Db;
    TPrintSource Source;
    TPrintOptions Options;
    QPageSize Size;
    TPrintFonts Fonts;
    QString Title;
    QString Date;
    double Width = 0;   // of the printable area, in dots
    double Height = 0;  // of it
    std::vector<int> Records;
    std::vector<std::vector<TColumn>> Groups;  // the table's columns, a page wide each; one group of cards
    double LabelWidth = 0;                     // of the cards' field names
    std::vector<TPageStart> Pages;

    TImpl(const TJFILE& db, TPrintSource source, TPrintOptions options, const QPageSize& size)
        : Db(db), Source(std::move(source)), Options(std::move(options)), Size(size), Fonts(Options.FontPoints)
    {
    }

    QPageLayout Layout() const
    {
        return QPageLayout(Size, Options.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
                           QPageLayout::Millimeter);
    }

    std::vector<int> Fields() const
    {
        std::vector<int> fields;
        for (int f : Options.Fields)
            if (f >= 1 && f <= Db.FieldCount())
                fields.push_back(f);
        if (fields.empty())
            for (int f = 1; f <= Db.FieldCount(); ++f)
                fields.push_back(f);
        return fields;
    }

    // The value as the views show it, line breaks kept.
    QString CellText(int record, int field) const
    {
        return ShownText(Db, Db.CellView(record, field), Db.GetFieldType(field));
    }

    QString FieldName(int field) const { return ToQString(Db.GetFieldName(field), Db.Charset()); }

    double Padding() const { return Fonts.LineHeight() * 0.25; }
    double HeaderHeight(int group) const;
    double BandHeight() const { return Fonts.Height(TFace::Title) + Fonts.LineHeight() * 0.6; }
    double FootHeight() const { return Fonts.LineHeight() * 1.6; }
    TFlowMetrics Metrics(int group) const;

    void LayOutColumns(const std::vector<int>& fields);
    double NaturalWidth(int field) const;
    int RowLines(int group, int row) const;
    int CardLines(int row) const;
    int LinesOf(int group, int row) const
    {
        return Options.Layout == TPrintLayout::Table ? RowLines(group, row) : CardLines(row);
    }

    void Paginate(int parts);
    void PaintBand(QPainter& painter, int index) const;
    void PaintTable(QPainter& painter, int index) const;
    void PaintCards(QPainter& painter, int index) const;
};

QPageSize DefaultPageSize()
{
    switch (QLocale::system().territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Philippines: return QPageSize(QPageSize::Letter);
    default: return QPageSize(QPageSize::A4);
    }
}

double TPrintDocument::TImpl::NaturalWidth(int field) const
{
    const size_t at = size_t(field - 1);
    if (at < Source.ColumnWidths.size() && Source.ColumnWidths[at] > 0)
        return Source.ColumnWidths[at] * kDotsPerGridPixel * Options.FontPoints / 9.0;
    // No grid to follow: as wide as the name and the longest of the first
    // values, within reason.
    double widest = Fonts.Width(FieldName(field), TFace::Bold);
    const int sample = std::min<int>(int(Records.size()), 50);
    for (int i = 0; i < sample; ++i)
        widest = std::max(widest, Fonts.Width(CellText(Records[size_t(i)], field).left(40)));
    return std::clamp(widest, Fonts.CharWidth() * 3, Fonts.CharWidth() * 30) + 2 * Padding();
}

void TPrintDocument::TImpl::LayOutColumns(const std::vector<int>& fields)
{
    Groups.clear();
    std::vector<TColumn> columns;
    double total = 0;
    for (int f : fields) {
        const double width = std::min(NaturalWidth(f), Width);
        columns.push_back({f, width, FactsOf(Db.GetFieldType(f)).Align});
        total += width;
    }
    // A table slightly wider than the page is not split for a column or
    // two: its widest columns are narrowed to a common width (their texts
    // wrap), the narrow ones keep theirs.
    if (total > Width && total <= Width * kShrinkToFit) {
        const double cap = CommonCap(columns, Width);
        if (cap >= Fonts.CharWidth() * 8 + 2 * Padding()) {
            total = 0;
            for (TColumn& c : columns)
                total += c.Width = std::min(c.Width, cap);
        }
    }
    // Columns that fit are widened to fill the page, in proportion.
    if (total <= Width && total > 0) {
        for (TColumn& c : columns)
            c.Width *= Width / total;
        Groups.push_back(std::move(columns));
        return;
    }
    // Else as spreadsheets print: a page's width of columns at a time.
    std::vector<TColumn> group;
    double used = 0;
    for (const TColumn& c : columns) {
        if (!group.empty() && used + c.Width > Width) {
            Groups.push_back(std::move(group));
            group.clear();
            used = 0;
        }
        group.push_back(c);
        used += c.Width;
    }
    Groups.push_back(std::move(group));
}

int TPrintDocument::TImpl::RowLines(int group, int row) const
{
    int lines = 1;
    for (const TColumn& c : Groups[size_t(group)])
        lines = std::max(lines, Fonts.LineCount(CellText(Records[size_t(row)], c.Field), c.Width - 2 * Padding()));
    return lines;
}

int TPrintDocument::TImpl::CardLines(int row) const
{
    int lines = 0;
    const double valueWidth = Width - LabelWidth;
    for (const TColumn& c : Groups.front())
        lines += std::max(Fonts.LineCount(FieldName(c.Field) + QLatin1Char(':'), LabelWidth - Padding(), TFace::Bold),
                          Fonts.LineCount(CellText(Records[size_t(row)], c.Field), valueWidth));
    return lines;
}

double TPrintDocument::TImpl::HeaderHeight(int group) const
{
    if (Options.Layout != TPrintLayout::Table)
        return 0;
    int lines = 1;
    for (const TColumn& c : Groups[size_t(group)])
        lines = std::max(lines, Fonts.LineCount(FieldName(c.Field), c.Width - 2 * Padding(), TFace::Bold));
    return lines * Fonts.LineHeight() + 2 * Padding();
}

TFlowMetrics TPrintDocument::TImpl::Metrics(int group) const
{
    TFlowMetrics metrics;
    metrics.LineHeight = Fonts.LineHeight();
    metrics.Extra = Options.Layout == TPrintLayout::Table ? 2 * Padding() : Fonts.LineHeight();
    metrics.Capacity = Height - BandHeight() - FootHeight() - HeaderHeight(group);
    return metrics;
}

void TPrintDocument::TImpl::Paginate(int parts)
{
    Pages.clear();
    const QRectF area = Layout().paintRect(QPageLayout::Inch);
    Width = area.width() * kDots;
    Height = area.height() * kDots;
    Records = Source.Records;
    if (Records.empty()) {
        Records.resize(size_t(Db.RecordCount()));
        std::iota(Records.begin(), Records.end(), 1);
    }
    LayOutColumns(Fields());
    if (Options.Layout == TPrintLayout::Cards) {
        // One group of every field; the names take the width of the widest,
        // at most two fifths of the page.
        std::vector<TColumn> all;
        for (const auto& group : Groups)
            all.insert(all.end(), group.begin(), group.end());
        Groups = {all};
        LabelWidth = 0;
        for (const TColumn& c : all)
            LabelWidth = std::max(LabelWidth, Fonts.Width(FieldName(c.Field) + QLatin1Char(':'), TFace::Bold));
        LabelWidth = std::min(LabelWidth + 2 * Padding(), Width * 0.4);
    }

    const int rows = int(Records.size());
    const int steps = rows * int(Groups.size());
    std::vector<TPageStart> pages;
    for (int g = 0; g < int(Groups.size()); ++g) {
        const TFlowMetrics metrics = Metrics(g);
        TFlowPoint at;
        int reported = 0;
        do {
            pages.push_back({g, at});
            at = FillPage(at, rows, metrics, [&](int row) {
                // Every 64 rows: a step per row would cost more than a row.
                if (row >= reported + 64) {
                    reported = row;
                    ReportProgress(g * rows + row, steps * parts);
                }
                return LinesOf(g, row);
            });
        } while (at.Block < rows);
    }
    ReportProgress(steps, steps * parts);
    Pages = std::move(pages);
}

void TPrintDocument::TImpl::PaintBand(QPainter& painter, int index) const
{
    painter.setPen(Qt::black);
    const double titleBase = Fonts.Ascent(TFace::Title);
    Fonts.PaintLine(painter, Fonts.Elided(Title, Width * 0.7, TFace::Title), QPointF(0, titleBase), TFace::Title);
    Fonts.PaintLine(painter, Date, QPointF(Width - Fonts.Width(Date), titleBase), TFace::Body);
    const double rule = Fonts.Height(TFace::Title) + Fonts.LineHeight() * 0.25;
    painter.setPen(QPen(Qt::black, kDots / 144));
    painter.drawLine(QPointF(0, rule), QPointF(Width, rule));
    const QString page = QStringLiteral("Page %1 of %2").arg(index + 1).arg(Pages.size());
    painter.setPen(Qt::black);
    Fonts.PaintLine(painter, page,
                    QPointF((Width - Fonts.Width(page)) / 2, Height - Fonts.LineHeight() + Fonts.Ascent(TFace::Body)),
                    TFace::Body);
}

void TPrintDocument::TImpl::PaintTable(QPainter& painter, int index) const
{
    const TPageStart& start = Pages[size_t(index)];
    const std::vector<TColumn>& columns = Groups[size_t(start.Group)];
    const double pad = Padding();
    const double lineHeight = Fonts.LineHeight();
    const double header = HeaderHeight(start.Group);
    double tableWidth = 0;
    for (const TColumn& c : columns)
        tableWidth += c.Width;
    const double top = BandHeight();

    // The header row: field names in bold on grey, on every page.
    painter.fillRect(QRectF(0, top, tableWidth, header), QColor(225, 225, 225));
    painter.setPen(Qt::black);
    double x = 0;
    for (const TColumn& c : columns) {
        Fonts.Paint(painter, FieldName(c.Field), QRectF(x + pad, top + pad, c.Width - 2 * pad, header), 0, 1000,
                    TAlign::Left, TFace::Bold);
        x += c.Width;
    }

    double bottom = top + header;
    const QPen rule(QColor(160, 160, 160), kDots / 200);
    FillPage(
        start.From, int(Records.size()), Metrics(start.Group), [&](int row) { return RowLines(start.Group, row); },
        [&](int row, int firstLine, int lines, double y) {
            const double rowTop = top + header + y;
            const double height = lines * lineHeight + 2 * pad;
            double left = 0;
            painter.setPen(Qt::black);
            for (const TColumn& c : columns) {
                Fonts.Paint(painter, CellText(Records[size_t(row)], c.Field),
                            QRectF(left + pad, rowTop + pad, c.Width - 2 * pad, height), firstLine, lines, c.Align,
                            TFace::Body);
                left += c.Width;
            }
            painter.setPen(rule);
            painter.drawLine(QPointF(0, rowTop + height), QPointF(tableWidth, rowTop + height));
            bottom = rowTop + height;
        });
    // The columns' lines, once a page.
    painter.setPen(rule);
    x = 0;
    for (size_t i = 0; i <= columns.size(); ++i) {
        painter.drawLine(QPointF(x, top), QPointF(x, bottom));
        if (i < columns.size())
            x += columns[i].Width;
    }
    painter.drawLine(QPointF(0, top), QPointF(tableWidth, top));
}

void TPrintDocument::TImpl::PaintCards(QPainter& painter, int index) const
{
    const TPageStart& start = Pages[size_t(index)];
    const std::vector<TColumn>& fields = Groups.front();
    const double lineHeight = Fonts.LineHeight();
    const double top = BandHeight();
    const double valueWidth = Width - LabelWidth;
    FillPage(
        start.From, int(Records.size()), Metrics(0), [&](int row) { return CardLines(row); },
        [&](int row, int firstLine, int lines, double y) {
            // The card's lines from `firstLine`, field by field.
            const int record = Records[size_t(row)];
            double cardTop = top + y + lineHeight / 2;
            int line = 0;
            painter.setPen(Qt::black);
            for (const TColumn& c : fields) {
                const QString label = FieldName(c.Field) + QLatin1Char(':');
                const QString value = CellText(record, c.Field);
                const int count = std::max(Fonts.LineCount(label, LabelWidth - Padding(), TFace::Bold),
                                           Fonts.LineCount(value, valueWidth));
                const int from = std::max(firstLine - line, 0);
                const int upTo = std::min(count, firstLine + lines - line);
                if (from < upTo) {
                    const double at = cardTop + (line + from - firstLine) * lineHeight;
                    Fonts.Paint(painter, label, QRectF(0, at, LabelWidth - Padding(), 0), from, upTo - from,
                                TAlign::Left, TFace::Bold);
                    Fonts.Paint(painter, value, QRectF(LabelWidth, at, valueWidth, 0), from, upTo - from, TAlign::Left,
                                TFace::Body);
                }
                line += count;
                if (line >= firstLine + lines)
                    break;
            }
            // A rule between cards.
            painter.setPen(QPen(QColor(160, 160, 160), kDots / 200));
            const double end = top + y + lines * lineHeight + lineHeight;
            painter.drawLine(QPointF(0, end), QPointF(Width, end));
        });
}

TPrintDocument::TPrintDocument(const TJFILE& db, TPrintSource source, TPrintOptions options, const QPageSize& size)
    : impl_(std::make_unique<TImpl>(db, std::move(source), std::move(options), size))
{
    impl_->Options.FontPoints = std::clamp(impl_->Options.FontPoints, kMinPrintFontPoints, kMaxPrintFontPoints);
    impl_->Title = ToQString(db.PdbHeader.Name, db.Charset());
    impl_->Date = impl_->Source.Date.isEmpty() ? QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)
                                               : impl_->Source.Date;
}

TPrintDocument::~TPrintDocument() = default;

void TPrintDocument::Paginate(int parts)
{
    try {
        impl_->Paginate(std::max(parts, 1));
    } catch (...) {
        impl_->Pages.clear();
        throw;
    }
}

int TPrintDocument::PageCount() const
{
    return int(impl_->Pages.size());
}

QPageLayout TPrintDocument::PageLayout() const
{
    return impl_->Layout();
}

const TPrintOptions& TPrintDocument::Options() const
{
    return impl_->Options;
}

void TPrintDocument::PaintPage(QPainter& painter, int index, const QRectF& area) const
{
    if (index < 0 || index >= PageCount() || impl_->Width <= 0)
        return;
    painter.save();
    painter.translate(area.topLeft());
    const double scale = area.width() / impl_->Width;
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(0, 0, impl_->Width, impl_->Height));
    impl_->PaintBand(painter, index);
    if (impl_->Options.Layout == TPrintLayout::Table)
        impl_->PaintTable(painter, index);
    else
        impl_->PaintCards(painter, index);
    painter.restore();
}

}  // namespace quorvil
