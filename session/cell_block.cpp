#include "cell_block.h"

namespace quorvil {

namespace {

bool EndsRow(char c)
{
    return c == '\r' || c == '\n';
}

// Steps over the line break at `i` (CR LF counts as one).
size_t PastLineBreak(std::string_view text, size_t i)
{
    return text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
}

// The quoted cell that starts at `i`, its closing quote's end in `end`;
// false when the quote never closes.
bool QuotedCell(std::string_view text, size_t i, std::string& cell, size_t& end)
{
    cell.clear();
    for (size_t k = i + 1; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '"') {
            if (k + 1 < text.size() && text[k + 1] == '"') {
                cell.push_back('"');
                ++k;
                continue;
            }
            end = k + 1;
            return true;
        }
        if (EndsRow(c)) {
            // Inside a value a line break is stored as the editor stores it.
            cell.push_back('\n');
            k = PastLineBreak(text, k) - 1;
        } else {
            cell.push_back(c);
        }
    }
    return false;
}

bool NeedsQuotes(std::string_view cell)
{
    return cell.find_first_of("\t\r\n\"") != std::string_view::npos;
}

void AppendHtml(std::string& out, std::string_view cell)
{
    for (size_t i = 0; i < cell.size(); ++i) {
        switch (const char c = cell[i]) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r':
        case '\n':
            out += "<br>";
            if (c == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n')
                ++i;
            break;
        default: out.push_back(c);
        }
    }
}

}  // namespace

TCellRows ParseTabText(std::string_view text)
{
    TCellRows rows;
    std::vector<std::string> row;
    std::string cell;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = 0;
        if (text[i] == '"' && QuotedCell(text, i, cell, end)) {
            // Text between the closing quote and the tab joins the cell, as
            // spreadsheets read it.
            i = end;
            while (i < text.size() && text[i] != '\t' && !EndsRow(text[i]))
                cell.push_back(text[i++]);
        } else {
            const size_t stop = text.find_first_of("\t\r\n", i);
            cell.assign(text.substr(i, stop == std::string_view::npos ? std::string_view::npos : stop - i));
            i = stop == std::string_view::npos ? text.size() : stop;
        }
        row.push_back(std::move(cell));
        cell.clear();
        if (i < text.size() && text[i] == '\t') {
            ++i;
            if (i == text.size())
                row.emplace_back();  // a tab at the very end ends an empty cell
            continue;
        }
        if (i < text.size())
            i = PastLineBreak(text, i);
        rows.push_back(std::move(row));
        row.clear();
    }
    if (!row.empty())
        rows.push_back(std::move(row));
    return rows;
}

std::string TabText(const TCellRows& rows, std::string_view lineEnd)
{
    std::string out;
    for (const std::vector<std::string>& row : rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                out.push_back('\t');
            const std::string& cell = row[c];
            if (!NeedsQuotes(cell)) {
                out += cell;
                continue;
            }
            out.push_back('"');
            for (const char ch : cell) {
                if (ch == '"')
                    out.push_back('"');
                out.push_back(ch);
            }
            out.push_back('"');
        }
        out += lineEnd;
    }
    return out;
}

std::string HtmlTable(const TCellRows& rows, bool header)
{
    // The character set named, so that no program guesses another.
    std::string out = "<html><head><meta charset=\"utf-8\"></head><body><table>\n";
    for (size_t r = 0; r < rows.size(); ++r) {
        const char* tag = header && r == 0 ? "th" : "td";
        out += "<tr>";
        for (const std::string& cell : rows[r]) {
            out += std::string("<") + tag + ">";
            AppendHtml(out, cell);
            out += std::string("</") + tag + ">";
        }
        out += "</tr>\n";
    }
    out += "</table></body></html>\n";
    return out;
}

}  // namespace quorvil
