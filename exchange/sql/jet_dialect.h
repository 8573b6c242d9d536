#pragma once
// The export's statements read as tokens, and their translation for SQLite:
// the one place that knows both dialects. Bracketed names become quoted
// identifiers; texts, #date# literals, numbers, TRUE and FALSE become bound
// values (NULL too), never SQL text; COUNTER, MEMO, BIT, DATE, TIME and the ALTER
// COLUMN statements that SQLite lacks are kept in a schema of the tables
// made here, which is turned into CREATE TABLE statements when first needed.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quorvil {

struct TJetToken {
    enum class Kind { Word, Name, Text, Date, Number, Symbol };
    Kind Type;
    std::string Text;  // Text: the value, colons undoubled; Date: ISO 8601; Name: without brackets
};

// The keyword word (case ignored), the one-character symbol c, a name (bracketed or bare).
bool IsWord(const TJetToken& token, std::string_view word);
bool IsSymbol(const TJetToken& token, char c);
bool IsName(const TJetToken& token);

// Throws ESqlError for an unterminated name, text or date, a date that is no
// date, parameter markers, comments and a second statement.
std::vector<TJetToken> JetTokens(std::string_view statement);

// A bound value; texts are UTF-8, std::monostate is NULL.
using TSqlValue = std::variant<long long, double, std::string, std::monostate>;

struct TSqliteStatement {
    std::string Sql;  // UTF-8, "?" for every value
    std::vector<TSqlValue> Values;
};
// A statement other than the schema's own, for SQLite.
TSqliteStatement SqliteStatement(const std::vector<TJetToken>& tokens);
// "name" with its double quotes doubled, as UTF-8.
std::string SqliteName(std::string_view name);
// The value of a literal token (a text, a date, a number, TRUE, FALSE or
// NULL); false when the token is none.
bool LiteralValue(const TJetToken& token, TSqlValue& value);

struct TJetColumn {
    std::string Name;
    std::string Type;     // SQLite's declared type
    std::string Default;  // an SQLite literal, or empty
    bool Counter = false;
    std::string Constraints;  // " NOT NULL", " UNIQUE", " PRIMARY KEY" of another column than the counter
};

struct TJetTable {
    std::string Name;
    std::vector<TJetColumn> Columns;
    size_t CreatedColumns = 0;  // columns the table in the file has
    bool Created = false;       // the table exists in the file
    bool Changed = true;        // the file's table differs from this
    bool Constrained() const;
    // The column of that name (ignoring case), or nullptr.
    const TJetColumn* Column(std::string_view name) const;
    TJetColumn* Column(std::string_view name);
};

class TJetSchema {
public:
    // Applies CREATE TABLE, ALTER TABLE ... ADD and ALTER TABLE ... ALTER
    // COLUMN to the schema; false for any other statement. Throws ESqlError
    // for a table that exists or is missing, a column that exists or is
    // missing, a type or default it does not know.
    bool Apply(const std::vector<TJetToken>& tokens);
    TJetTable* Find(std::string_view table);
    std::vector<TJetTable>& Tables() { return tables_; }
    void Drop(std::string_view table);

    // CREATE TABLE of `table` under the name `as`.
    static std::string CreateSql(const TJetTable& table, const std::string& as);

private:
    std::vector<TJetTable> tables_;
};

}  // namespace quorvil
