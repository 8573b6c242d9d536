#pragma once
// The field types of JFile databases and what each one means to the rest of
// the program, in one table (field_types.cpp): how its values are read,
// compared, edited, exported and merged, and what a new record holds. Code
// asks the table instead of comparing type codes.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace quorvil {

// Field names longer than this are cut where a name is made or compared.
constexpr int kMaxFieldNameLength = 20;

// The numbers are the codes the file stores. A code without a name, read
// from a file, is a type too: it loads, is kept and is shown as "[code]".
enum class TFieldType : uint16_t {
    New = 0,  // a field not saved yet; saved as String
    String = 1,
    Boolean = 2,
    Date = 4,
    Integer = 8,
    Float = 16,
    Time = 32,
    List = 64,
    AutoDate = 65,
    AutoTime = 66,
    AutoInc = 67,
    Binary = 68,
    RelList = 69,
    Calc = 70,
    CalcV1 = 71,
    CalcV2 = 72,
    ModDate = 73,
    ModTime = 80,
    MultList = 81,
    IntDate = 65535,  // an international date ("07 Mar 2024"); only the 5.5 layout tells it from a Date
};

constexpr uint16_t Code(TFieldType type)
{
    return uint16_t(type);
}

// The kind of value a field holds, and so how a typed or stored text is read.
enum class TValueKind { Text, Boolean, Integer, Float, Date, LongDate, Time };

// How a field's values compare in a sort and a filter.
enum class TOrderKind { Text, List, Number, Date, LongDate, Time };

// How the views edit a field. The grid shows every kind but CheckBox, List,
// Integer, Float, Date and Time as a text column.
enum class TEditorKind {
    LongText,  // a text line; a double-click opens the long-text editor
    Text,      // a text line
    GridText,  // a text line in the grid; no editor in the record view
    CheckBox,
    List,
    Integer,
    Float,
    Date,
    LongDate,  // a text line in the grid, where a double-click opens the calendar; a date line elsewhere
    Time,
};

enum class TAlign { Left, Center, Right };

// What a workbook cell of a field holds.
enum class TWorkbookKind { Text, Number, Boolean, Date, LongDate, Time };

// What a column of the database export holds; Unsupported: the field has no
// column.
enum class TAccessKind { Text, Integer, Float, Date, Time, Boolean, Unsupported };

// Which values of a field a merge counts as worth copying into a new field.
enum class TMergeWorth { Never, NotBlank, NotZero, Ticked };

// Where a new record's value comes from.
enum class TNewValue {
    Typed,      // NewText as if typed (CellInput), unless the database keeps a default
    Moment,     // the date or time the record was made
    Counter,    // the next number of the field
    FirstItem,  // the first popup item, unless the database keeps a default
};

struct TFieldTypeFacts {
    TFieldType Type;
    const char* Name;  // the display name; empty for a code without one
    TValueKind Value;
    TOrderKind Order;
    TEditorKind Editor;
    TAlign Align;
    TWorkbookKind Workbook;
    TAccessKind Access;
    // Fields pair in a merge when their types merge as the same type; an ID
    // field merging as Integer matches 007 and 7.
    TFieldType MergesAs;
    TMergeWorth MergeWorth;
    TNewValue NewValue;
    const char* NewText;  // for TNewValue::Typed
    bool EditStamped;     // an edit of its record sets it to the moment
};

// The facts of `type`; a code without a name has those of a text the
// program does not edit in its record view, exports to no database column
// and merges only with its own code.
TFieldTypeFacts FactsOf(TFieldType type);

// The type a field is saved as: a new field is a String field.
constexpr TFieldType SavedType(TFieldType type)
{
    return type == TFieldType::New ? TFieldType::String : type;
}

// "STRING", "BOOLEAN", ... or "[code]" for a code without a name.
std::string TypeName(TFieldType type);
// The code of a display name, or -1 when the name is unknown.
int TypeCodeByName(const std::string& name);
// Writes TypeName(type).
std::ostream& operator<<(std::ostream& out, TFieldType type);
// Every type with a name, in code order; New is left out (it shows as
// "STRING").
std::vector<TFieldType> NamedTypes();

inline TValueKind ValueKindOf(TFieldType type)
{
    return FactsOf(type).Value;
}
inline TOrderKind OrderKindOf(TFieldType type)
{
    return FactsOf(type).Order;
}

}  // namespace quorvil
