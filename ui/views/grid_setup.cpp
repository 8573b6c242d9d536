#include "grid_setup.h"

#include "cell_input.h"
#include "field_types.h"
#include "jfile.h"
#include "record_filter.h"
#include "text_convert.h"

#include <algorithm>

namespace quorvil {

TFieldPresentation PresentationOf(uint16_t fieldType)
{
    switch (fieldType) {
    case kTypeBoolean: return {TColumnKind::CheckBox, THorzAlign::Center};
    case kTypeDate:
    case kTypeAutoDate:
    case kTypeModDate: return {TColumnKind::Date, THorzAlign::Center};
    case kTypeInteger:
    case kTypeAutoInc: return {TColumnKind::Integer, THorzAlign::Center};
    case kTypeFloat: return {TColumnKind::Float, THorzAlign::Right};
    case kTypeTime:
    case kTypeAutoTime:
    case kTypeModTime: return {TColumnKind::Time, THorzAlign::Left};
    case kTypeList: return {TColumnKind::List, THorzAlign::Center};
    default: return {TColumnKind::Text, THorzAlign::Left};  // text, binary, long dates and the rest
    }
}

TGridColumn FieldColumn(TGridColumn column, const TJFILE& db, int field)
{
    const uint16_t type = db.GetFieldType(field);
    const TFieldPresentation shown = PresentationOf(type);
    column.Title = ToQString(db.GetFieldName(field));
    column.Editable = true;
    column.TitleOverflow = TOverflow::Ellipsis;
    column.CellOverflow = TOverflow::Ellipsis;
    column.CellColor = QColor();
    column.ColumnKind = shown.Kind;
    column.CellHorzAlign = shown.Align;
    column.ComboItems.clear();
    column.ComboValues.clear();
    column.InputPattern = ToQString(InputPattern(db, field));
    column.FilterTip = ToQString(FilterHelp(type));
    if (type == kTypeList) {
        for (int k = 1; k <= db.PopupCount(field); ++k)
            column.ComboItems << ToQString(db.GetPopupItem(field, k));
        column.ComboValues = column.ComboItems;
        column.Width = std::min(column.Width, kMaxListColumnWidth);
    }
    if (type == kTypeBoolean) {
        // Checked first: a column can refuse a value equal to the other one.
        column.SetCheckedValue(FromUtf8("1"));
        column.SetUncheckedValue(FromUtf8("0"));
    }
    return column;
}

}  // namespace quorvil
