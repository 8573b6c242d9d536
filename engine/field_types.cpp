#include "field_types.h"

#include <utility>

namespace quorvil {

namespace {

const std::pair<uint16_t, const char*> kTypeNames[] = {
    {0, "STRING"},    {1, "STRING"},    {2, "BOOLEAN"},    {4, "DATE"},        {8, "INTEGER"},
    {16, "FLOAT"},    {32, "TIME"},     {64, "LIST"},      {65, "AUTODATE"},   {66, "AUTOTIME"},
    {67, "AUTOINC"},  {68, "BINARY"},   {69, "RELLIST"},   {70, "CALC"},       {71, "CALC_V1"},
    {72, "CALC_V2"},  {73, "MODDATE"},  {80, "MODTIME"},   {81, "MULTLIST"},   {65535, "INT.DATE"},
};

}  // namespace

std::string TypeName(uint16_t code)
{
    for (const auto& [c, name] : kTypeNames)
        if (c == code)
            return name;
    return "[" + std::to_string(code) + "]";
}

int TypeCodeByName(const std::string& name)
{
    // Skips code 0, so "STRING" names the saved type 1.
    for (const auto& [c, n] : kTypeNames)
        if (c != 0 && name == n)
            return c;
    return -1;
}

}  // namespace quorvil
