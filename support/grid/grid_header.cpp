#include "grid_header.h"

#include "extended_grid.h"
#include "grid_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionHeader>

#include <algorithm>

namespace quorvil {

TGridHeader::TGridHeader(TExtendedGrid* grid) : QHeaderView(Qt::Horizontal, grid), grid_(grid)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    connect(this, &QHeaderView::sectionResized, this, &TGridHeader::PlaceFilters);
    connect(this, &QHeaderView::sectionMoved, this, &TGridHeader::PlaceFilters);
    connect(this, &QHeaderView::geometriesChanged, this, &TGridHeader::PlaceFilters);
    connect(this, &QHeaderView::sectionCountChanged, this, [this] {
        if (filterRow_)
            RebuildFilters();
    });
}

namespace {

constexpr int kFilterHeight = 24;
constexpr int kClearButtonWidth = 90;
constexpr char kProblemProperty[] = "filterProblem";
constexpr char kTipProperty[] = "filterTip";  // the box's own tip, behind a problem

}  // namespace

int TGridHeader::TitleHeight() const
{
    return grid_->DefaultRowHeight();
}

QSize TGridHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    size.setHeight(TitleHeight() + (filterRow_ ? kFilterHeight : 0));
    return size;
}

void TGridHeader::SetFilterRowVisible(bool visible)
{
    if (visible == filterRow_)
        return;
    filterRow_ = visible;
    // Hidden boxes filter nothing: they go, and come back empty.
    RebuildFilters();
    updateGeometry();
    // The table lays out its header and viewport again for the new height.
    emit geometriesChanged();
}

QWidget* TGridHeader::MakeFilter(int col)
{
    const TGridColumn* column = grid_->Column(col);
    const TColumnKind kind = column ? column->ColumnKind : TColumnKind::Text;
    QWidget* box = nullptr;
    if (kind == TColumnKind::CheckBox) {
        auto* check = new QCheckBox(viewport());
        check->setTristate(true);
        // Partly checked is "either": a click asks for ticked, the next for unticked.
        check->setCheckState(Qt::PartiallyChecked);
        check->setToolTip(tr("Filter: ticked, unticked or either"));
        connect(check, &QCheckBox::stateChanged, this, [this, check] { emit FilterEdited(ColumnOf(check), false); });
        box = check;
    } else if (kind == TColumnKind::List && column) {
        auto* combo = new QComboBox(viewport());
        combo->addItem(QString(), QString());
        for (qsizetype k = 0; k < column->ComboItems.size(); ++k)
            combo->addItem(column->ComboItems[k],
                           k < column->ComboValues.size() ? column->ComboValues[k] : column->ComboItems[k]);
        combo->setToolTip(tr("Filter: the records of one value"));
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, combo] { emit FilterEdited(ColumnOf(combo), false); });
        box = combo;
    } else {
        auto* line = new QLineEdit(viewport());
        line->setToolTip(LineTip(column));
        line->setPlaceholderText(tr("Filter"));
        connect(line, &QLineEdit::textEdited, this, [this, line] { emit FilterEdited(ColumnOf(line), true); });
        // Enter does not wait for the pause.
        connect(line, &QLineEdit::returnPressed, this, [this, line] { emit FilterEdited(ColumnOf(line), false); });
        box = line;
    }
    box->setAutoFillBackground(true);
    return box;
}

QString TGridHeader::LineTip(const TGridColumn* column) const
{
    if (column && !column->FilterTip.isEmpty())
        return column->FilterTip;
    const TColumnKind kind = column ? column->ColumnKind : TColumnKind::Text;
    const bool byValue = kind == TColumnKind::Float || kind == TColumnKind::Integer || kind == TColumnKind::Spin ||
                         kind == TColumnKind::Date || kind == TColumnKind::Time;
    return byValue ? tr("Filter: a text the cells contain, or =, <, >, <=, >= a value, or a range a..b")
                   : tr("Filter: a text the cells contain");
}

void TGridHeader::RebuildFilters()
{
    const size_t columns = filterRow_ ? size_t(count()) : 0;
    for (size_t col = columns; col < filters_.size(); ++col)
        delete filters_[col];
    filters_.resize(columns, nullptr);
    filterKinds_.resize(filters_.size(), -1);
    for (size_t col = 0; col < filters_.size(); ++col)
        RefreshFilter(int(col));
    PlaceFilters();
}

void TGridHeader::RefreshFilter(int col)
{
    if (!filterRow_ || col < 0 || size_t(col) >= filters_.size())
        return;
    const TGridColumn* column = grid_->Column(col);
    const int kind = int(column ? column->ColumnKind : TColumnKind::Text);
    QWidget*& box = filters_[size_t(col)];
    QStringList items;
    if (auto* combo = qobject_cast<QComboBox*>(box))
        for (int k = 1; k < combo->count(); ++k)
            items << combo->itemText(k) << combo->itemData(k).toString();
    QStringList wanted;
    if (column && kind == int(TColumnKind::List))
        for (qsizetype k = 0; k < column->ComboItems.size(); ++k)
            wanted << column->ComboItems[k] << column->ComboValues.value(k, column->ComboItems[k]);
    if (box && filterKinds_[size_t(col)] == kind && items == wanted) {
        // A field of another type may keep the column's kind (a text column
        // becomes a long date one): its line says what it takes now.
        if (qobject_cast<QLineEdit*>(box))
            SetFilterTip(box, LineTip(column));
        return;
    }
    // A box of another kind starts empty; a list keeps a value it still offers.
    const QString text = box && filterKinds_[size_t(col)] == kind ? FilterText(col) : QString();
    delete box;
    box = MakeFilter(col);
    filterKinds_[size_t(col)] = kind;
    SetFilterTextQuietly(col, text);
    box->show();
    PlaceFilters();
}

void TGridHeader::PlaceFilters()
{
    if (!filterRow_)
        return;
    // Children of the viewport scroll with it; their places follow the sections.
    for (size_t col = 0; col < filters_.size(); ++col) {
        QWidget* box = filters_[col];
        if (!box)
            continue;  // still being made
        box->setObjectName(QStringLiteral("Filter%1").arg(col));
        if (isSectionHidden(int(col))) {
            box->hide();
            continue;
        }
        box->setGeometry(sectionViewportPosition(int(col)), TitleHeight(), sectionSize(int(col)),
                         height() - TitleHeight());
        // In a narrow box the clear button would cover what was typed.
        if (auto* line = qobject_cast<QLineEdit*>(box))
            line->setClearButtonEnabled(sectionSize(int(col)) >= kClearButtonWidth);
        box->show();
    }
}

int TGridHeader::ColumnOf(const QWidget* box) const
{
    const auto found = std::find(filters_.begin(), filters_.end(), box);
    return found == filters_.end() ? -1 : int(found - filters_.begin());
}

void TGridHeader::MoveFilters(int start, int end, int column)
{
    if (start < 0 || start > end || size_t(end) >= filters_.size() || column < 0 || size_t(column) > filters_.size())
        return;
    const auto move = [&](auto& list) {
        auto begin = list.begin();
        if (column > end)
            std::rotate(begin + start, begin + end + 1, begin + column);
        else if (column < start)
            std::rotate(begin + column, begin + start, begin + end + 1);
    };
    move(filters_);
    move(filterKinds_);
    PlaceFilters();
}

QWidget* TGridHeader::FilterBox(int col) const
{
    return col >= 0 && size_t(col) < filters_.size() ? filters_[size_t(col)] : nullptr;
}

QString TGridHeader::FilterText(int col) const
{
    QWidget* box = FilterBox(col);
    if (auto* check = qobject_cast<QCheckBox*>(box))
        return check->checkState() == Qt::Checked     ? QStringLiteral("TRUE")
               : check->checkState() == Qt::Unchecked ? QStringLiteral("FALSE")
                                                      : QString();
    if (auto* combo = qobject_cast<QComboBox*>(box))
        return combo->currentIndex() > 0 ? QLatin1Char('=') + combo->currentData().toString() : QString();
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return line->text();
    return {};
}

void TGridHeader::SetFilterText(int col, const QString& text)
{
    QWidget* box = FilterBox(col);
    if (auto* check = qobject_cast<QCheckBox*>(box)) {
        check->setCheckState(text == QLatin1String("TRUE")    ? Qt::Checked
                             : text == QLatin1String("FALSE") ? Qt::Unchecked
                                                              : Qt::PartiallyChecked);
    } else if (auto* combo = qobject_cast<QComboBox*>(box)) {
        const int found = text.startsWith(QLatin1Char('=')) ? combo->findData(text.mid(1)) : -1;
        combo->setCurrentIndex(std::max(found, 0));
    } else if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setText(text);
    }
}

void TGridHeader::SetFilterTextQuietly(int col, const QString& text)
{
    // A line reports only what is typed (textEdited); its own signals must
    // flow, or its clear button keeps showing for a text that is gone.
    QWidget* box = FilterBox(col);
    const QSignalBlocker quiet(qobject_cast<QLineEdit*>(box) ? nullptr : box);
    SetFilterText(col, text);
}

void TGridHeader::ClearFilters()
{
    for (size_t col = 0; col < filters_.size(); ++col) {
        SetFilterTextQuietly(int(col), QString());
        SetFilterProblem(int(col), QString());
    }
}

void TGridHeader::SetFilterTexts(const QStringList& texts)
{
    for (size_t col = 0; col < filters_.size() && col < size_t(texts.size()); ++col) {
        const QSignalBlocker quiet(filters_[col]);
        SetFilterText(int(col), texts[qsizetype(col)]);
    }
}

void TGridHeader::SetFilterProblem(int col, const QString& reason)
{
    QWidget* box = FilterBox(col);
    if (!box || box->property(kProblemProperty).toString() == reason)
        return;
    if (!box->property(kProblemProperty).isValid())
        box->setProperty(kTipProperty, box->toolTip());
    box->setProperty(kProblemProperty, reason);
    QPalette palette = box->parentWidget()->palette();
    if (!reason.isEmpty())
        palette.setColor(QPalette::Text, QColor(192, 0, 0));
    box->setPalette(palette);
    box->setToolTip(reason.isEmpty() ? box->property(kTipProperty).toString() : reason);
}

void TGridHeader::SetFilterTip(QWidget* box, const QString& tip)
{
    // While a problem shows, the tip waits behind it.
    if (box->property(kProblemProperty).isValid())
        box->setProperty(kTipProperty, tip);
    if (box->property(kProblemProperty).toString().isEmpty())
        box->setToolTip(tip);
}

QString TGridHeader::ShownTitle(int logicalIndex) const
{
    const TGridColumn* column = grid_->Column(logicalIndex);
    if (!column)
        return {};
    if (column->TitleOverflow != TOverflow::Ellipsis)
        return column->Title;
    return ShortenText(QFontMetrics(column->TitleFont.resolve(font())), column->Title,
                       sectionSize(logicalIndex) - ArrowSpace(logicalIndex));
}

int TGridHeader::ArrowSpace(int logicalIndex) const
{
    if (!isSortIndicatorShown() || sortIndicatorSection() != logicalIndex)
        return 0;
    return style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, this) + 6;
}

void TGridHeader::paintSection(QPainter* painter, const QRect& whole, int logicalIndex) const
{
    if (!whole.isValid())
        return;
    // The filter boxes cover the rest of the section.
    QRect rect = whole;
    rect.setHeight(std::min(whole.height(), TitleHeight()));
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.textAlignment = Qt::AlignLeft;
    const int visual = visualIndex(logicalIndex);
    if (count() == 1)
        option.position = QStyleOptionHeader::OnlyOneSection;
    else if (visual == 0)
        option.position = QStyleOptionHeader::Beginning;
    else if (visual == count() - 1)
        option.position = QStyleOptionHeader::End;
    else
        option.position = QStyleOptionHeader::Middle;
    // The bevel comes from the style; the title is drawn by the column's rules.
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);

    // The sort arrow at the right end; the title keeps the rest.
    QRect titleRect = rect;
    if (const int space = ArrowSpace(logicalIndex)) {
        QStyleOptionHeader arrow = option;
        const int size = space - 6;
        // Qt's own headers show an ascending sort as SortDown.
        arrow.sortIndicator = sortIndicatorOrder() == Qt::AscendingOrder ? QStyleOptionHeader::SortDown
                                                                         : QStyleOptionHeader::SortUp;
        arrow.rect = QRect(rect.right() - size - 3, rect.center().y() - size / 2, size, size);
        style()->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &arrow, painter, this);
        titleRect.setRight(rect.right() - space);
    }
    const TGridColumn* column = grid_->Column(logicalIndex);
    if (!column)
        return;
    painter->save();
    painter->setFont(column->TitleFont.resolve(font()));
    painter->setPen(palette().color(QPalette::ButtonText));
    DrawCellText(*painter, titleRect, column->Title, column->TitleOverflow, column->TitleHorzAlign,
                 column->TitleVertAlign);
    painter->restore();
}

}  // namespace quorvil
