#include "field_types.h"

#include <ostream>
#include <string>
#include <vector>

namespace quorvil {

namespace {

using enum TFieldType;
using V = TValueKind;
using O = TOrderKind;
using E = TEditorKind;
using A = TAlign;
using W = TWorkbookKind;
using X = TAccessKind;
using M = TMergeWorth;
using N = TNewValue;

// One row per named type. The last column says where a reading is wider
// than the value kind's own: the database export reads dates and times with
// the readers every other place uses, and beyond them what it has always
// exported, so that no value it wrote becomes NULL (a d/m/y date as the CSV
// export rewrites one, with parts padded with zeros or a year before 1000;
// a time that mixes ':' and '.').
//
// INT.DATE is a date everywhere. Its values are read strictly as
// "dd Mmm yyyy" where they are compared, in the workbook and by the grid's
// calendar; it merges with DATE, as the older layouts store it; its grid
// column is a text line with the calendar on a double-click.
// clang-format off
constexpr TFieldTypeFacts kFacts[] = {
    // Type    Name        Value        Order        Editor       Align      Workbook     Export          MergesAs  Worth        NewValue      NewText        Stamped
    {New,      "STRING",   V::Text,     O::Text,     E::LongText, A::Left,   W::Text,     X::Text,        String,   M::NotBlank, N::Typed,     "",            false},
    {String,   "STRING",   V::Text,     O::Text,     E::LongText, A::Left,   W::Text,     X::Text,        String,   M::NotBlank, N::Typed,     "",            false},
    {Boolean,  "BOOLEAN",  V::Boolean,  O::Text,     E::CheckBox, A::Center, W::Boolean,  X::Boolean,     Boolean,  M::Ticked,   N::Typed,     "0",           false},
    {Date,     "DATE",     V::Date,     O::Date,     E::Date,     A::Center, W::Date,     X::Date,        Date,     M::NotBlank, N::Typed,     "01/01/00",    false},  // exported: also d/m/y as the CSV export reads it
    {Integer,  "INTEGER",  V::Integer,  O::Number,   E::Integer,  A::Center, W::Number,   X::Integer,     Integer,  M::NotZero,  N::Typed,     "0",           false},
    {Float,    "FLOAT",    V::Float,    O::Number,   E::Float,    A::Right,  W::Number,   X::Float,       Float,    M::Never,    N::Typed,     "0",           false},
    {Time,     "TIME",     V::Time,     O::Time,     E::Time,     A::Left,   W::Time,     X::Time,        Time,     M::NotBlank, N::Typed,     "00:00:00",    false},  // exported: also with ':' and '.' mixed
    {List,     "LIST",     V::Text,     O::List,     E::List,     A::Center, W::Text,     X::Text,        String,   M::NotBlank, N::FirstItem, "",            false},
    {AutoDate, "AUTODATE", V::Date,     O::Date,     E::Date,     A::Center, W::Date,     X::Date,        Date,     M::NotBlank, N::Moment,    "",            false},  // exported: also d/m/y as the CSV export reads it
    {AutoTime, "AUTOTIME", V::Time,     O::Time,     E::Time,     A::Left,   W::Time,     X::Time,        Time,     M::NotBlank, N::Moment,    "",            false},  // exported: also with ':' and '.' mixed
    {AutoInc,  "AUTOINC",  V::Integer,  O::Number,   E::Integer,  A::Center, W::Number,   X::Integer,     Integer,  M::NotZero,  N::Counter,   "",            false},
    {Binary,   "BINARY",   V::Text,     O::Text,     E::Text,     A::Left,   W::Text,     X::Unsupported, Binary,   M::Never,    N::Typed,     "",            false},
    {RelList,  "RELLIST",  V::Text,     O::Text,     E::GridText, A::Left,   W::Text,     X::Unsupported, RelList,  M::Never,    N::Typed,     "",            false},
    {Calc,     "CALC",     V::Text,     O::Text,     E::GridText, A::Left,   W::Text,     X::Unsupported, Calc,     M::Never,    N::Typed,     "",            false},
    {CalcV1,   "CALC_V1",  V::Text,     O::Text,     E::GridText, A::Left,   W::Text,     X::Unsupported, CalcV1,   M::Never,    N::Typed,     "",            false},
    {CalcV2,   "CALC_V2",  V::Text,     O::Text,     E::GridText, A::Left,   W::Text,     X::Unsupported, CalcV2,   M::Never,    N::Typed,     "",            false},
    {ModDate,  "MODDATE",  V::Date,     O::Date,     E::Date,     A::Center, W::Date,     X::Date,        Date,     M::NotBlank, N::Moment,    "",            true},   // exported: also d/m/y as the CSV export reads it
    {ModTime,  "MODTIME",  V::Time,     O::Time,     E::Time,     A::Left,   W::Time,     X::Time,        Time,     M::NotBlank, N::Moment,    "",            true},   // exported: also with ':' and '.' mixed
    {MultList, "MULTLIST", V::Text,     O::Text,     E::GridText, A::Left,   W::Text,     X::Unsupported, MultList, M::Never,    N::Typed,     "",            false},
    {IntDate,  "INT.DATE", V::LongDate, O::LongDate, E::LongDate, A::Left,   W::LongDate, X::Date,        Date,     M::NotBlank, N::Typed,     "01 Jan 1980", false},  // exported: any date; merged with DATE
};

// A code without a name, read from a file: its type and merge pair are the code itself.
constexpr TFieldTypeFacts kUnnamed =
    {New,      "",         V::Text,     O::Text,     E::GridText, A::Left,   W::Text,     X::Unsupported, New,      M::Never,    N::Typed,     "",            false};
// clang-format on

const TFieldTypeFacts* Find(TFieldType type)
{
    for (const TFieldTypeFacts& facts : kFacts)
        if (facts.Type == type)
            return &facts;
    return nullptr;
}

}  // namespace

TFieldTypeFacts FactsOf(TFieldType type)
{
    if (const TFieldTypeFacts* facts = Find(type))
        return *facts;
    TFieldTypeFacts facts = kUnnamed;
    facts.Type = facts.MergesAs = type;
    return facts;
}

std::string TypeName(TFieldType type)
{
    const TFieldTypeFacts* facts = Find(type);
    return facts ? facts->Name : "[" + std::to_string(Code(type)) + "]";
}

int TypeCodeByName(const std::string& name)
{
    // Skips New, so "STRING" names the saved type.
    for (const TFieldTypeFacts& facts : kFacts)
        if (facts.Type != New && name == facts.Name)
            return Code(facts.Type);
    return -1;
}

std::ostream& operator<<(std::ostream& out, TFieldType type)
{
    return out << TypeName(type);
}

std::vector<TFieldType> NamedTypes()
{
    std::vector<TFieldType> types;
    for (const TFieldTypeFacts& facts : kFacts)
        if (facts.Type != New)
            types.push_back(facts.Type);
    return types;
}

}  // namespace quorvil
