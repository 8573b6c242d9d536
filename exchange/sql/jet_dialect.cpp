#include "jet_dialect.h"

#include "date_arith.h"
#include "sql_connection.h"
#include "text_case.h"

#include <algorithm>
#include <charconv>

namespace quorvil {

namespace {

using Kind = TJetToken::Kind;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsWordChar(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

[[noreturn]] void Fail(const std::string& message)
{
    throw ESqlError(message);
}

// The text up to `close`, from just after the opening character at `p`;
// `close` written twice stands for itself, "::" for one colon.
std::string Quoted(std::string_view s, size_t& p, char close, bool colons)
{
    std::string out;
    for (++p; p < s.size(); ++p) {
        if (s[p] == close) {
            if (p + 1 < s.size() && s[p + 1] == close && close != ']' && close != '#') {
                out += close;
                ++p;
                continue;
            }
            ++p;
            return out;
        }
        if (colons && s[p] == ':' && p + 1 < s.size() && s[p + 1] == ':')
            ++p;
        out += s[p];
    }
    Fail(std::string("Missing ") + close + " in query expression.");
}

// Numbers separated by `separator`, exactly `count` of them.
bool Numbers(std::string_view text, char separator, int count, int* out)
{
    for (int i = 0; i < count; ++i) {
        size_t end = i + 1 < count ? text.find(separator) : text.size();
        if (end == std::string_view::npos || end == 0 || end > 6)
            return false;
        int n = 0;
        for (char c : text.substr(0, end)) {
            if (!IsDigit(c))
                return false;
            n = n * 10 + (c - '0');
        }
        out[i] = n;
        text.remove_prefix(std::min(text.size(), end + 1));
    }
    return true;
}

// "y-m-d", "y-m-d h:m:s" or "h:m:s" as ISO 8601 text.
std::string IsoDate(std::string_view text)
{
    const size_t blank = text.find(' ');
    const std::string_view datePart = blank == std::string_view::npos
                                          ? (text.find('-') != std::string_view::npos ? text : std::string_view())
                                          : text.substr(0, blank);
    const std::string_view timePart = blank != std::string_view::npos ? text.substr(blank + 1)
                                      : datePart.empty()              ? text
                                                                      : std::string_view();
    int d[3] = {0, 0, 0};
    int t[3] = {0, 0, 0};
    if (!datePart.empty() && (!Numbers(datePart, '-', 3, d) || !IsValidDate(d[0], d[1], d[2])))
        Fail("Syntax error in date in query expression '#" + std::string(text) + "#'.");
    if (!timePart.empty() && (!Numbers(timePart, ':', 3, t) || !IsValidTime(t[0], t[1], t[2])))
        Fail("Syntax error in date in query expression '#" + std::string(text) + "#'.");
    // Written by hand: every date cell of an export comes through here.
    std::string out;
    auto put = [&out](int n, int digits) {
        char buffer[8];
        for (int i = digits - 1; i >= 0; --i, n /= 10)
            buffer[i] = char('0' + n % 10);
        out.append(buffer, size_t(digits));
    };
    if (!datePart.empty()) {
        put(d[0], 4);
        out += '-';
        put(d[1], 2);
        out += '-';
        put(d[2], 2);
    }
    if (!timePart.empty() || datePart.empty()) {
        if (!out.empty())
            out += ' ';
        put(t[0], 2);
        out += ':';
        put(t[1], 2);
        out += ':';
        put(t[2], 2);
    }
    return out;
}

struct TTypeName {
    const char* Jet;
    const char* Sqlite;
};

const TTypeName kTypes[] = {
    {"MEMO", "TEXT"},
    {"TEXT", "TEXT"},
    {"CHAR", "TEXT"},
    {"VARCHAR", "TEXT"},
    {"LONGTEXT", "TEXT"},
    {"INTEGER", "INTEGER"},
    {"INT", "INTEGER"},
    {"LONG", "INTEGER"},
    {"SHORT", "INTEGER"},
    {"SMALLINT", "INTEGER"},
    {"BYTE", "INTEGER"},
    {"DATE", "DATE"},
    {"DATETIME", "DATE"},
    {"TIME", "TIME"},
    {"BIT", "BOOLEAN"},
    {"YESNO", "BOOLEAN"},
    {"LOGICAL", "BOOLEAN"},
    {"BOOLEAN", "BOOLEAN"},
    {"DOUBLE", "REAL"},
    {"FLOAT", "REAL"},
    {"REAL", "REAL"},
    {"SINGLE", "REAL"},
    {"CURRENCY", "REAL"},
    {"COUNTER", "INTEGER"},
    {"AUTOINCREMENT", "INTEGER"},
};

// An SQLite literal for a DEFAULT clause: the one place where a value is
// written into SQL text, as SQLite takes no bound values in a table's
// definition.
std::string DefaultLiteral(const std::vector<TJetToken>& tokens, size_t& p)
{
    bool negative = false;
    if (p < tokens.size() && IsSymbol(tokens[p], '-')) {
        negative = true;
        ++p;
    }
    TSqlValue value;
    if (p >= tokens.size() || !LiteralValue(tokens[p], value))
        Fail("Syntax error in DEFAULT clause.");
    ++p;
    if (std::holds_alternative<std::monostate>(value)) {
        if (negative)
            Fail("Syntax error in DEFAULT clause.");
        return "NULL";
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        if (negative)
            Fail("Syntax error in DEFAULT clause.");
        std::string out = "'";
        for (char c : *text)
            out += c == '\'' ? std::string("''") : std::string(1, c);
        return out + "'";
    }
    const std::string number = std::holds_alternative<long long>(value) ? std::to_string(std::get<long long>(value))
                                                                        : std::to_string(std::get<double>(value));
    return negative ? "-" + number : number;
}

// name type [(size)] [NOT NULL | NULL | UNIQUE | PRIMARY KEY | DEFAULT literal]...
TJetColumn ColumnDefinition(const std::vector<TJetToken>& tokens, size_t& p, size_t end)
{
    if (p + 1 >= end || !IsName(tokens[p]) || tokens[p + 1].Type != Kind::Word)
        Fail("Syntax error in field definition.");
    TJetColumn column{tokens[p].Text, "", "", false, ""};
    const std::string type = UpperCase(tokens[p + 1].Text);
    const auto* known = std::find_if(std::begin(kTypes), std::end(kTypes),
                                     [&](const TTypeName& t) { return type == t.Jet; });
    if (known == std::end(kTypes))
        Fail("Syntax error in field definition.");
    column.Type = known->Sqlite;
    column.Counter = type == "COUNTER" || type == "AUTOINCREMENT";
    p += 2;
    if (p < end && IsSymbol(tokens[p], '(')) {
        while (p < end && !IsSymbol(tokens[p], ')'))
            ++p;
        ++p;
    }
    while (p < end) {
        if (IsWord(tokens[p], "NOT") && p + 1 < end && IsWord(tokens[p + 1], "NULL")) {
            column.Constraints += " NOT NULL";
            p += 2;
        } else if (IsWord(tokens[p], "NULL")) {
            ++p;
        } else if (IsWord(tokens[p], "UNIQUE")) {
            column.Constraints += " UNIQUE";
            ++p;
        } else if (IsWord(tokens[p], "PRIMARY") && p + 1 < end && IsWord(tokens[p + 1], "KEY")) {
            if (!column.Counter)
                column.Constraints += " PRIMARY KEY";
            p += 2;
        } else if (IsWord(tokens[p], "DEFAULT")) {
            ++p;
            column.Default = DefaultLiteral(tokens, p);
        } else {
            Fail("Syntax error in field definition.");
        }
    }
    return column;
}

}  // namespace

bool IsWord(const TJetToken& token, std::string_view word)
{
    return token.Type == TJetToken::Kind::Word && SameTextIgnoringCase(token.Text, word);
}

bool IsSymbol(const TJetToken& token, char c)
{
    return token.Type == TJetToken::Kind::Symbol && token.Text.size() == 1 && token.Text[0] == c;
}

bool IsName(const TJetToken& token)
{
    return token.Type == TJetToken::Kind::Name || token.Type == TJetToken::Kind::Word;
}

std::vector<TJetToken> JetTokens(std::string_view s)
{
    std::vector<TJetToken> tokens;
    size_t p = 0;
    while (p < s.size()) {
        const char c = s[p];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++p;
        } else if (c == '[') {
            tokens.push_back({Kind::Name, Quoted(s, p, ']', false)});
        } else if (c == '"' || c == '\'') {
            tokens.push_back({Kind::Text, Quoted(s, p, c, true)});
        } else if (c == '#') {
            tokens.push_back({Kind::Date, IsoDate(Quoted(s, p, '#', true))});
        } else if (IsDigit(c)) {
            size_t start = p;
            while (p < s.size() && (IsDigit(s[p]) || s[p] == '.'))
                ++p;
            tokens.push_back({Kind::Number, std::string(s.substr(start, p - start))});
        } else if (IsWordChar(c)) {
            size_t start = p;
            while (p < s.size() && IsWordChar(s[p]))
                ++p;
            tokens.push_back({Kind::Word, std::string(s.substr(start, p - start))});
        } else if (c == ';') {
            if (s.find_first_not_of(" \t\r\n", p + 1) != std::string_view::npos)
                Fail("Characters found after end of SQL statement.");
            ++p;
        } else if (std::string_view(":?$@`]").find(c) != std::string_view::npos ||
                   (p + 1 < s.size() && ((c == '-' && s[p + 1] == '-') || (c == '/' && s[p + 1] == '*')))) {
            Fail("Syntax error in query expression near '" + std::string(s.substr(p, 10)) + "'.");
        } else {
            tokens.push_back({Kind::Symbol, std::string(1, c)});
            ++p;
        }
    }
    return tokens;
}

bool LiteralValue(const TJetToken& token, TSqlValue& value)
{
    switch (token.Type) {
    case Kind::Text:
    case Kind::Date: value = token.Text; return true;
    case Kind::Number:
        if (token.Text.find('.') == std::string::npos && token.Text.size() <= 18) {
            value = std::stoll(token.Text);
        } else {
            // Not std::stod: the program's locale may take a comma for the point.
            double number = 0;
            const auto [end, error] = std::from_chars(token.Text.data(), token.Text.data() + token.Text.size(), number);
            if (error != std::errc() || end != token.Text.data() + token.Text.size())
                Fail("Syntax error in number in query expression '" + token.Text + "'.");
            value = number;
        }
        return true;
    case Kind::Word:
        if (IsWord(token, "TRUE") || IsWord(token, "FALSE")) {
            value = IsWord(token, "TRUE") ? 1LL : 0LL;
            return true;
        }
        if (IsWord(token, "NULL")) {
            value = std::monostate{};
            return true;
        }
        return false;
    default: return false;
    }
}

std::string SqliteName(std::string_view name)
{
    std::string out = "\"";
    for (char c : name)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

TSqliteStatement SqliteStatement(const std::vector<TJetToken>& tokens)
{
    TSqliteStatement out;
    for (const TJetToken& token : tokens) {
        if (!out.Sql.empty())
            out.Sql += ' ';
        TSqlValue value;
        if (LiteralValue(token, value)) {
            out.Sql += '?';
            out.Values.push_back(std::move(value));
        } else {
            out.Sql += token.Type == Kind::Name ? SqliteName(token.Text) : std::string(token.Text);
        }
    }
    return out;
}

bool TJetTable::Constrained() const
{
    return std::any_of(Columns.begin(), Columns.end(), [](const TJetColumn& c) { return !c.Constraints.empty(); });
}

TJetColumn* TJetTable::Column(std::string_view name)
{
    for (TJetColumn& column : Columns)
        if (SameTextIgnoringCase(column.Name, name))
            return &column;
    return nullptr;
}

const TJetColumn* TJetTable::Column(std::string_view name) const
{
    return const_cast<TJetTable*>(this)->Column(name);
}

TJetTable* TJetSchema::Find(std::string_view table)
{
    for (TJetTable& t : tables_)
        if (SameTextIgnoringCase(t.Name, table))
            return &t;
    return nullptr;
}

void TJetSchema::Drop(std::string_view table)
{
    std::erase_if(tables_, [&](const TJetTable& t) { return SameTextIgnoringCase(t.Name, table); });
}

bool TJetSchema::Apply(const std::vector<TJetToken>& t)
{
    const size_t n = t.size();
    if (n < 3 || !IsWord(t[1], "TABLE") || !IsName(t[2]) || !(IsWord(t[0], "CREATE") || IsWord(t[0], "ALTER")))
        return false;
    if (IsWord(t[0], "CREATE")) {
        if (Find(t[2].Text))
            Fail("Table '" + t[2].Text + "' already exists.");
        if (n < 5 || !IsSymbol(t[3], '(') || !IsSymbol(t[n - 1], ')'))
            Fail("Syntax error in CREATE TABLE statement.");
        TJetTable table{t[2].Text, {}, 0, false, true};
        for (size_t p = 4; p < n - 1; ++p) {
            size_t end = p;
            while (end < n - 1 && !IsSymbol(t[end], ','))
                ++end;
            if (IsWord(t[p], "PRIMARY")) {
                // PRIMARY KEY(name): the counter is the key already.
                TJetColumn* key = end - p == 5 ? table.Column(t[p + 3].Text) : nullptr;
                if (!key)
                    Fail("Syntax error in CONSTRAINT clause.");
                if (!key->Counter)
                    key->Constraints += " PRIMARY KEY";
                p = end;
                continue;
            }
            TJetColumn column = ColumnDefinition(t, p, end);
            if (table.Column(column.Name))
                Fail("Field '" + column.Name + "' already exists in table '" + table.Name + "'.");
            table.Columns.push_back(column);
        }
        tables_.push_back(table);
        return true;
    }
    TJetTable* table = Find(t[2].Text);
    if (!table)
        Fail("Table '" + t[2].Text + "' does not exist.");
    size_t p = 4 + (n > 4 && IsWord(t[4], "COLUMN"));
    if (n > 3 && IsWord(t[3], "ADD")) {
        TJetColumn column = ColumnDefinition(t, p, n);
        if (table->Column(column.Name))
            Fail("Field '" + column.Name + "' already exists in table '" + table->Name + "'.");
        table->Columns.push_back(column);
    } else if (n > 3 && IsWord(t[3], "ALTER") && p + 2 < n && IsWord(t[p + 1], "SET") && IsWord(t[p + 2], "DEFAULT")) {
        TJetColumn* column = table->Column(t[p].Text);
        if (!column)
            Fail("Field '" + t[p].Text + "' does not exist in table '" + table->Name + "'.");
        p += 3;
        column->Default = DefaultLiteral(t, p);
        if (p != n)
            Fail("Syntax error in ALTER TABLE statement.");
    } else {
        Fail("Syntax error in ALTER TABLE statement.");
    }
    table->Changed = true;
    return true;
}

std::string TJetSchema::CreateSql(const TJetTable& table, const std::string& as)
{
    std::string sql = "CREATE TABLE " + SqliteName(as) + " (";
    for (size_t i = 0; i < table.Columns.size(); ++i) {
        const TJetColumn& c = table.Columns[i];
        sql += (i ? ", " : "") + SqliteName(c.Name) + " " +
               (c.Counter ? std::string("INTEGER PRIMARY KEY AUTOINCREMENT") : c.Type);
        sql += c.Constraints;
        if (!c.Default.empty())
            sql += " DEFAULT " + c.Default;
    }
    return sql + ")";
}

}  // namespace quorvil
