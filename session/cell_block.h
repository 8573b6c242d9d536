#pragma once
// Cells as spreadsheets put them on the clipboard: one line per row, cells
// separated by tabs, and a cell that holds a tab, a line break or a quote in
// quotes, with each quote doubled. The HTML table beside it is what word
// processors and spreadsheets take when they prefer formatted text.
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

using TCellRows = std::vector<std::vector<std::string>>;

// The rows of tab-separated text. Rows end at CR LF, LF or CR; a line break
// at the very end ends the last row and starts none. A cell that starts with
// a quote runs to its closing quote (a doubled quote is one quote; tabs and
// line breaks inside belong to the cell, a line break as LF); a quote that
// never closes is taken as a character, so it cannot swallow the rows after
// it. Rows keep the cells they have, also when rows differ in length.
TCellRows ParseTabText(std::string_view text);

// `rows` as tab-separated text, each row ended by `lineEnd`, cells quoted
// where ParseTabText needs the quotes to read them back.
std::string TabText(const TCellRows& rows, std::string_view lineEnd);

// `rows` (UTF-8) as an HTML table, the first row as header cells when
// `header`; line breaks in a cell as <br>.
std::string HtmlTable(const TCellRows& rows, bool header);

}  // namespace quorvil
