#pragma once
// How each field of a database is presented in the grid: its column's kind,
// alignment, title and list values follow the field's type.
#include "field_types.h"
#include "grid_column.h"

namespace quorvil {

class TJFILE;

// Widest a List column stays when the grid is filled.
constexpr int kMaxListColumnWidth = 150;

// Column kind and cell alignment of a field type.
struct TFieldPresentation {
    TColumnKind Kind;
    THorzAlign Align;
};
TFieldPresentation PresentationOf(TFieldType fieldType);

// `column` set up for field `field` of `db`: the field's name as title,
// editable, titles and cells shortened with "...", kind and alignment by the
// field's type; a List column offers the popup items (stored as themselves)
// and is narrowed to kMaxListColumnWidth; a Boolean column stores "1" and "0".
// The width of other columns is kept.
TGridColumn FieldColumn(TGridColumn column, const TJFILE& db, int field);

}  // namespace quorvil
