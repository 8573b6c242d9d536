#include "grid_setup.h"

#include "cell_input.h"
#include "database_model.h"
#include "jfile.h"
#include "record_filter.h"
#include "text_convert.h"

#include <algorithm>

namespace quorvil {

namespace {

TColumnKind ColumnKindOf(TEditorKind editor)
{
    switch (editor) {
    case TEditorKind::CheckBox: return TColumnKind::CheckBox;
    case TEditorKind::List: return TColumnKind::List;
    case TEditorKind::Integer: return TColumnKind::Integer;
    case TEditorKind::Float: return TColumnKind::Float;
    case TEditorKind::Date: return TColumnKind::Date;
    case TEditorKind::Time: return TColumnKind::Time;
    case TEditorKind::LongText:
    case TEditorKind::Text:
    case TEditorKind::GridText:
    case TEditorKind::LongDate: break;  // a text line; a double-click may open more
    }
    return TColumnKind::Text;
}

THorzAlign HorzAlignOf(TAlign align)
{
    switch (align) {
    case TAlign::Center: return THorzAlign::Center;
    case TAlign::Right: return THorzAlign::Right;
    case TAlign::Left: break;
    }
    return THorzAlign::Left;
}

}  // namespace

TFieldPresentation PresentationOf(TFieldType fieldType)
{
    const TFieldTypeFacts facts = FactsOf(fieldType);
    return {ColumnKindOf(facts.Editor), HorzAlignOf(facts.Align)};
}

TGridColumn FieldColumn(TGridColumn column, const TJFILE& db, int field)
{
    const TFieldType type = db.GetFieldType(field);
    const TFieldPresentation shown = PresentationOf(type);
    const TCharset set = db.Charset();
    column.Title = ToQString(db.GetFieldName(field), set);
    column.Editable = true;
    column.TitleOverflow = TOverflow::Ellipsis;
    column.CellOverflow = TOverflow::Ellipsis;
    column.CellColor = QColor();
    column.ColumnKind = shown.Kind;
    column.CellHorzAlign = shown.Align;
    column.ComboItems.clear();
    column.ComboValues.clear();
    column.InputPattern = ToQString(InputPattern(db, field), set);
    column.FilterTip = ToQString(FilterHelp(type), set);
    column.LineBreakText = IsStringField(type) ? LineBreakMark() : QString();
    if (type == TFieldType::List) {
        for (int k = 1; k <= db.PopupCount(field); ++k)
            column.ComboItems << ToQString(db.GetPopupItem(field, k), set);
        column.ComboValues = column.ComboItems;
        column.Width = std::min(column.Width, kMaxListColumnWidth);
    }
    if (type == TFieldType::Boolean) {
        // Checked first: a column can refuse a value equal to the other one.
        column.SetCheckedValue(FromUtf8("1"));
        column.SetUncheckedValue(FromUtf8("0"));
    }
    return column;
}

}  // namespace quorvil
