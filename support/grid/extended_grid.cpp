#include "extended_grid.h"

#include "grid_delegate.h"
#include "grid_header.h"
#include "grid_text.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QToolTip>

#include <algorithm>

namespace quorvil {

namespace {

// Narrowest column the user can drag a column to.
constexpr int kMinimumColumnWidth = 8;

QString CheckPictureName(TCheckState state)
{
    switch (state) {
    case TCheckState::Ticked: return QStringLiteral("CHECKON");
    case TCheckState::Empty: return QStringLiteral("CHECKOFF");
    case TCheckState::Neutral: break;
    }
    return QStringLiteral("CHECKNEUTRAL");
}

}  // namespace

TExtendedGrid::TExtendedGrid(QWidget* parent) : QTableView(parent), delegate_(new TGridDelegate(this))
{
    header_ = new TGridHeader(this);
    setHorizontalHeader(header_);
    filterPause_.setSingleShot(true);
    filterPause_.setInterval(kFilterPause);
    connect(&filterPause_, &QTimer::timeout, this, &TExtendedGrid::FilterChanged);
    connect(header_, &TGridHeader::FilterEdited, this, [this](int, bool typed) {
        // Typing waits for a pause, so a long database is not filtered at every key.
        filterPause_.start(typed ? kFilterPause : 0);
    });
    horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    horizontalHeader()->setMinimumSectionSize(kMinimumColumnWidth);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &TExtendedGrid::SectionResized);

    // Every row has the same height, so the view never measures rows: a
    // screenful costs the same anywhere in a large table.
    QHeaderView* rows = verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rowHeight_);
    rows->hide();

    setItemDelegate(delegate_);
    setWordWrap(false);
    // Moving the current cell, by keys or clicks, never opens an editor:
    // typing, F2 or Enter does (see keyPressEvent). Double clicks belong to
    // the main window (long-text editor, calendar).
    setEditTriggers(EditKeyPressed | AnyKeyPressed);
    MakeCheckPictures();
}

void TExtendedGrid::setModel(QAbstractItemModel* newModel)
{
    for (const auto& connection : std::as_const(modelConnections_))
        disconnect(connection);
    modelConnections_.clear();
    QTableView::setModel(newModel);
    if (newModel) {
        using M = QAbstractItemModel;
        auto aboutTo = [this] { StructureAboutToChange(); };
        modelConnections_ = {
            connect(newModel, &M::columnsAboutToBeInserted, this, aboutTo),
            connect(newModel, &M::columnsAboutToBeRemoved, this, aboutTo),
            connect(newModel, &M::columnsAboutToBeMoved, this, aboutTo),
            connect(newModel, &M::modelAboutToBeReset, this, aboutTo),
            connect(newModel, &M::layoutAboutToBeChanged, this, aboutTo),
            connect(newModel, &M::columnsInserted, this, &TExtendedGrid::ColumnsInserted),
            connect(newModel, &M::columnsRemoved, this, &TExtendedGrid::ColumnsRemoved),
            connect(newModel, &M::columnsMoved, this, &TExtendedGrid::ColumnsMoved),
            connect(newModel, &M::modelReset, this, &TExtendedGrid::SyncWithModel),
            connect(newModel, &M::layoutChanged, this, &TExtendedGrid::SyncWithModel),
            connect(newModel, &QObject::destroyed, this, [this] { columns_.clear(); }),
        };
    }
    SyncWithModel();
}

const TGridColumn* TExtendedGrid::Column(int col) const
{
    return col >= 0 && size_t(col) < columns_.size() ? &columns_[size_t(col)] : nullptr;
}

void TExtendedGrid::SetColumn(int col, const TGridColumn& column)
{
    if (!Column(col) || columns_[size_t(col)] == column)
        return;
    columns_[size_t(col)] = column;
    ApplyWidths();
    horizontalHeader()->headerDataChanged(Qt::Horizontal, col, col);
    header_->RefreshFilter(col);
    viewport()->update();
}

void TExtendedGrid::SetFilterRowVisible(bool visible)
{
    if (visible == header_->FilterRowVisible())
        return;
    filterPause_.stop();
    header_->SetFilterRowVisible(visible);
    updateGeometries();
    emit FilterChanged();
}

bool TExtendedGrid::FilterRowVisible() const
{
    return header_->FilterRowVisible();
}

QStringList TExtendedGrid::FilterTexts() const
{
    QStringList texts;
    for (int col = 0; col < int(columns_.size()); ++col)
        texts << header_->FilterText(col);
    return texts;
}

void TExtendedGrid::ClearFilters()
{
    filterPause_.stop();
    header_->ClearFilters();
}

void TExtendedGrid::SetFilterTexts(const QStringList& texts)
{
    filterPause_.stop();
    header_->ClearFilters();
    header_->SetFilterTexts(texts);
}

bool TExtendedGrid::FlushFilter()
{
    if (!filterPause_.isActive())
        return false;
    filterPause_.stop();
    emit FilterChanged();
    return true;
}

void TExtendedGrid::SetDefaultRowHeight(int height)
{
    if (height <= 0 || height == rowHeight_)
        return;
    rowHeight_ = height;
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->updateGeometry();
    updateGeometries();
}

QString TExtendedGrid::CellText(int col, int row) const
{
    return model() ? CellText(model()->index(row, col, rootIndex())) : QString();
}

QString TExtendedGrid::CellText(const QModelIndex& index) const
{
    if (!index.isValid())
        return {};
    QVariant value = index.data(Qt::EditRole);
    if (!value.isValid())
        value = index.data(Qt::DisplayRole);
    return value.toString();
}

QString TExtendedGrid::DisplayText(const QModelIndex& index) const
{
    const TGridColumn* column = Column(index.column());
    if (column && column->ColumnKind == TColumnKind::List)
        return column->ListText(CellText(index));
    const QVariant shown = index.data(Qt::DisplayRole);
    return shown.isValid() ? shown.toString() : CellText(index);
}

QString TExtendedGrid::ListCountError(int col) const
{
    const TGridColumn* column = Column(col);
    if (!column)
        return {};
    QString lists;
    if (column->ColumnKind == TColumnKind::List && column->ComboItems.size() != column->ComboValues.size())
        lists = QStringLiteral("ComboItems and ComboValues");
    else if (column->ColumnKind == TColumnKind::Picture && column->PictureItems.size() != column->PictureValues.size())
        lists = QStringLiteral("PictureItems and PictureValues");
    else
        return {};
    return lists + QStringLiteral(" of column ") + QString::number(col) + QStringLiteral(" of ") + objectName() +
           QStringLiteral(" must be of equal count.");
}

void TExtendedGrid::SetCellText(int col, int row, const QString& text)
{
    const QModelIndex index = model() ? model()->index(row, col, rootIndex()) : QModelIndex();
    if (!index.isValid())
        return;
    if (const QString error = ListCountError(col); !error.isEmpty())
        throw EGridError(error);
    model()->setData(index, text, Qt::EditRole);
    update(index);
}

bool TExtendedGrid::NumberTooWide(const QModelIndex& index) const
{
    const TGridColumn* column = Column(index.column());
    if (!column || !column->HoldsNumbers() || index.model() != model())
        return false;
    const QFontMetrics metrics(column->CellFont.resolve(font()));
    return !FitsInCell(metrics, DisplayText(index), columnWidth(index.column()));
}

bool TExtendedGrid::CellEditable(const QModelIndex& index) const
{
    const TGridColumn* column = Column(index.column());
    if (!column || !column->Editable || editTriggers() == NoEditTriggers || index.model() != model())
        return false;
    const Qt::ItemFlags flags = index.flags();
    return flags.testFlag(Qt::ItemIsEditable) && flags.testFlag(Qt::ItemIsEnabled);
}

bool TExtendedGrid::WriteControlValue(const QModelIndex& index, const QString& text)
{
    if (!index.isValid() || index.model() != model())
        return false;
    if (const QString error = ListCountError(index.column()); !error.isEmpty())
        throw EGridError(error);
    if (CellText(index) == text || !model()->setData(index, text, Qt::EditRole))
        return false;
    update(index);
    emit OnControlChanged(index.column(), index.row());
    return true;
}

bool TExtendedGrid::ToggleCheckBox(const QModelIndex& index)
{
    const TGridColumn* column = Column(index.column());
    if (!column || column->ColumnKind != TColumnKind::CheckBox || !CellEditable(index))
        return false;
    return WriteControlValue(index, column->ToggledValue(CellText(index)));
}

void TExtendedGrid::ReopenEditor(const QModelIndex& index, const QString& text)
{
    if (!index.isValid() || index.model() != model() || !CellEditable(index))
        return;
    setFocus();
    setCurrentIndex(index);
    if (!indexWidget(index))
        edit(index);
    if (QWidget* editor = indexWidget(index)) {
        delegate_->KeepRefusedText(editor, index, text);
        editor->setFocus();
    }
}

QPixmap TExtendedGrid::Picture(const QString& name) const
{
    auto found = pictures_.constFind(name);
    if (found != pictures_.constEnd())
        return *found;
    // Loaded once; a name that loads nothing is remembered as such.
    return *pictures_.insert(name, QPixmap(name));
}

void TExtendedGrid::SetPicture(const QString& name, const QPixmap& picture)
{
    pictures_.insert(name, picture);
    viewport()->update();
}

QPixmap TExtendedGrid::CheckPicture(TCheckState state) const
{
    return Picture(CheckPictureName(state));
}

void TExtendedGrid::keyPressEvent(QKeyEvent* event)
{
    // Enter opens the current cell's editor, as F2 does; a check box has
    // none (the space bar toggles it).
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QModelIndex current = currentIndex();
    const TGridColumn* column = Column(current.column());
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && state() != EditingState && column &&
        column->ColumnKind != TColumnKind::CheckBox && CellEditable(current)) {
        edit(current);
        return;
    }
    QTableView::keyPressEvent(event);
}

bool TExtendedGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (NumberTooWide(index)) {
            QToolTip::showText(help->globalPos(), DisplayText(index), viewport(), visualRect(index));
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

void TExtendedGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange)
        MakeCheckPictures();
}

void TExtendedGrid::SyncWithModel()
{
    ResizeColumns(model() ? model()->columnCount(rootIndex()) : 0);
    structureChanging_ = false;
    ApplyWidths();
}

void TExtendedGrid::ResizeColumns(int count)
{
    columns_.resize(size_t(std::max(0, count)));
}

void TExtendedGrid::ColumnsInserted(const QModelIndex& parent, int first, int last)
{
    if (parent != rootIndex() || first < 0 || size_t(first) > columns_.size() || last < first)
        return SyncWithModel();
    columns_.insert(columns_.begin() + first, size_t(last - first + 1), TGridColumn());
    SyncWithModel();
}

void TExtendedGrid::ColumnsRemoved(const QModelIndex& parent, int first, int last)
{
    if (parent == rootIndex() && first >= 0 && first <= last && size_t(last) < columns_.size())
        columns_.erase(columns_.begin() + first, columns_.begin() + last + 1);
    SyncWithModel();
}

void TExtendedGrid::ColumnsMoved(const QModelIndex& parent, int start, int end, const QModelIndex& destination,
                                 int column)
{
    // `column` is the destination before the move, as the model reports it.
    const bool sameTable = parent == rootIndex() && destination == rootIndex();
    if (sameTable && start >= 0 && start <= end && size_t(end) < columns_.size() && column >= 0 &&
        size_t(column) <= columns_.size()) {
        auto begin = columns_.begin();
        if (column > end)
            std::rotate(begin + start, begin + end + 1, begin + column);
        else if (column < start)
            std::rotate(begin + column, begin + start, begin + end + 1);
        header_->MoveFilters(start, end, column);
        // The boxes now stand over other field numbers: the filter is worked out again.
        if (!FilterTexts().join(QString()).isEmpty())
            filterPause_.start(0);
    }
    SyncWithModel();
}

void TExtendedGrid::ApplyWidths()
{
    QHeaderView* header = horizontalHeader();
    applyingWidths_ = true;
    const int count = std::min(int(columns_.size()), header->count());
    for (int col = 0; col < count; ++col) {
        if (!header->isSectionHidden(col) && header->sectionSize(col) != columns_[size_t(col)].Width)
            header->resizeSection(col, columns_[size_t(col)].Width);
    }
    applyingWidths_ = false;
}

void TExtendedGrid::SectionResized(int col, int /*oldSize*/, int newSize)
{
    // A width the user dragged becomes the column's own.
    if (applyingWidths_ || structureChanging_ || !Column(col) || horizontalHeader()->isSectionHidden(col))
        return;
    columns_[size_t(col)].Width = newSize;
}

void TExtendedGrid::MakeCheckPictures()
{
    const int width = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    const int height = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    const qreal ratio = devicePixelRatio();
    for (TCheckState state : {TCheckState::Ticked, TCheckState::Empty, TCheckState::Neutral}) {
        QPixmap picture(QSize(width, height) * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        QStyleOptionViewItem option;
        option.initFrom(this);
        option.rect = QRect(0, 0, width, height);
        option.state |= QStyle::State_Enabled;
        option.state |= state == TCheckState::Ticked  ? QStyle::State_On
                        : state == TCheckState::Empty ? QStyle::State_Off
                                                      : QStyle::State_NoChange;
        style()->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &option, &painter, this);
        painter.end();
        pictures_.insert(CheckPictureName(state), picture);
    }
    viewport()->update();
}

}  // namespace quorvil
