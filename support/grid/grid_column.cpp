#include "grid_column.h"

namespace quorvil {

void TGridColumn::SetCheckedValue(const QString& value)
{
    if (value != uncheckedValue_)
        checkedValue_ = value;
}

void TGridColumn::SetUncheckedValue(const QString& value)
{
    if (value != checkedValue_)
        uncheckedValue_ = value;
}

TCheckState TGridColumn::CheckStateOf(const QString& cellText) const
{
    if (cellText == checkedValue_)
        return TCheckState::Ticked;
    if (cellText == uncheckedValue_)
        return TCheckState::Empty;
    // A text that is neither: an empty checked value means "anything but
    // the unchecked value is ticked"; otherwise the box is undecided unless
    // there is no unchecked value to tell it from.
    if (checkedValue_.isEmpty())
        return TCheckState::Ticked;
    return uncheckedValue_.isEmpty() ? TCheckState::Empty : TCheckState::Neutral;
}

QString TGridColumn::ToggledValue(const QString& cellText) const
{
    return CheckStateOf(cellText) == TCheckState::Ticked ? uncheckedValue_ : checkedValue_;
}

QString TGridColumn::ListText(const QString& cellText) const
{
    int pos = ValuePosition(ComboValues, cellText);
    return pos >= 0 && pos < ComboItems.size() ? ComboItems[pos] : cellText;
}

QString TGridColumn::PictureName(const QString& cellText) const
{
    int pos = ValuePosition(PictureValues, cellText);
    return pos >= 0 && pos < PictureItems.size() ? PictureItems[pos] : QString();
}

bool TGridColumn::HasInPlaceControl() const
{
    return ColumnKind >= TColumnKind::List;
}

bool TGridColumn::HoldsNumbers() const
{
    return ColumnKind == TColumnKind::Float || ColumnKind == TColumnKind::Integer || ColumnKind == TColumnKind::Spin;
}

int ValuePosition(const QStringList& values, const QString& cellText)
{
    int found = int(values.indexOf(cellText));
    return found >= 0 ? found : int(values.indexOf(QString()));
}

EGridError::EGridError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}

}  // namespace quorvil
