#include "sqlite_connection.h"

#include "text_case.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QVariant>

#include <algorithm>
#include <atomic>

namespace quorvil {

namespace {

using Kind = TJetToken::Kind;

[[noreturn]] void Throw(const QSqlError& error)
{
    throw ESqlError((error.databaseText().isEmpty() ? error.text() : error.databaseText()).toStdString());
}

// The statements' texts are UTF-8.
QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QVariant Bound(const TSqlValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return FromUtf8(*text);
    if (const auto* number = std::get_if<long long>(&value))
        return QVariant(qlonglong(*number));
    if (std::holds_alternative<std::monostate>(value))
        return QVariant();  // binds NULL
    return QVariant(std::get<double>(value));
}

// A literal at t[p], a number after "-" too; advances p.
bool Literal(const std::vector<TJetToken>& t, size_t& p, TSqlValue& value)
{
    const bool negative = p + 1 < t.size() && IsSymbol(t[p], '-') && t[p + 1].Type == Kind::Number;
    if (!LiteralValue(t[p + (negative ? 1 : 0)], value))
        return false;
    if (negative)
        std::visit(
            [](auto& v) {
                if constexpr (std::is_arithmetic_v<std::decay_t<decltype(v)>>)
                    v = -v;
            },
            value);
    p += negative ? 2 : 1;
    return true;
}

bool IsWordText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    });
}

// A text between double quotes in which every inner quote is doubled, "::"
// standing for a colon; false when it is not exactly one such text.
bool QuotedText(std::string_view literal, QString& text)
{
    if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"')
        return false;
    literal = literal.substr(1, literal.size() - 2);
    const auto special = [](std::string_view part) {
        // A plain loop: find_first_of searches the set once per character.
        size_t p = 0;
        while (p < part.size() && part[p] != '"' && part[p] != ':')
            ++p;
        return p == part.size() ? std::string_view::npos : p;
    };
    if (special(literal) == std::string_view::npos) {
        text = FromUtf8(literal);
        return true;
    }
    std::string out;
    out.reserve(literal.size());
    while (!literal.empty()) {
        const size_t at = special(literal);
        out.append(literal.substr(0, at));
        if (at == std::string_view::npos)
            break;
        const char c = literal[at];
        const bool doubled = at + 1 < literal.size() && literal[at + 1] == c;
        if (c == '"' && !doubled)
            return false;
        out += c;
        literal.remove_prefix(at + (doubled ? 2 : 1));
    }
    text = FromUtf8(out);
    return true;
}

// The one value of an export's UPDATE: a text, a whole number, TRUE, FALSE,
// NULL or a #date#; false for anything else, which then takes the general way.
bool ExportLiteral(std::string_view literal, QVariant& value)
{
    if (!literal.empty() && literal.front() == '"') {
        QString text;
        if (!QuotedText(literal, text))
            return false;
        value = std::move(text);
        return true;
    }
    const std::string_view digits = literal.starts_with('-') ? literal.substr(1) : literal;
    if (!digits.empty() && digits.size() <= 18 && IsWordText(digits) &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        value = qlonglong(std::stoll(std::string(literal)));
        return true;
    }
    if (literal.starts_with('#') || SameTextIgnoringCase(literal, "TRUE") || SameTextIgnoringCase(literal, "FALSE") ||
        SameTextIgnoringCase(literal, "NULL")) {
        const std::vector<TJetToken> tokens = JetTokens(literal);
        TSqlValue parsed;
        if (tokens.size() != 1 || !LiteralValue(tokens[0], parsed))
            return false;
        value = Bound(parsed);
        return true;
    }
    return false;
}

std::atomic<int> connections{0};

}  // namespace

TSqliteConnection::TSqliteConnection(const std::string& fileName)
    : name_(QStringLiteral("quorvil-sqlite-%1").arg(++connections))
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        throw ESqlError("The SQLite driver of Qt (QSQLITE) is not installed.");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(QFile::decodeName(QByteArray::fromStdString(fileName)));
        if (!db.open()) {
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name_);
            Throw(error);
        }
    }
    // A journal in memory still undoes a failed statement; the file is a new
    // one that nobody else reads until it is complete.
    RunText("PRAGMA journal_mode=MEMORY");
}

TSqliteConnection::~TSqliteConnection()
{
    shape_.Query = nullptr;
    rowQuery_ = nullptr;
    prepared_.clear();
    QSqlDatabase::database(name_, false).close();
    QSqlDatabase::removeDatabase(name_);
}

void TSqliteConnection::Execute(const std::string& statement)
{
    if (BufferExportUpdate(statement))
        return;
    const std::vector<TJetToken> tokens = JetTokens(statement);
    if (Buffer(tokens))
        return;
    Flush();
    shape_.Query = nullptr;  // the table it wrote may change
    if (schema_.Apply(tokens))
        return;
    ApplySchema();
    nextIds_.clear();  // the statement may add or remove rows
    Run(SqliteStatement(tokens));
    if (tokens.size() == 3 && IsWord(tokens[0], "DROP") && IsWord(tokens[1], "TABLE"))
        schema_.Drop(tokens[2].Text);
}

// UPDATE table SET column=value WHERE key=id, on a table of the schema
// without constraints: nothing but the statement's own words can make it
// fail, so it is checked here and its value joins the row's pending ones.
bool TSqliteConnection::Buffer(const std::vector<TJetToken>& t)
{
    if (t.size() < 10 || !IsWord(t[0], "UPDATE") || !IsName(t[1]) || !IsWord(t[2], "SET") || !IsName(t[3]) ||
        !IsSymbol(t[4], '='))
        return false;
    size_t p = 5;
    TSqlValue value, id;
    if (!Literal(t, p, value) || p + 4 > t.size() || !IsWord(t[p], "WHERE") || !IsName(t[p + 1]) ||
        !IsSymbol(t[p + 2], '='))
        return false;
    const std::string& key = t[p + 1].Text;
    p += 3;
    if (!Literal(t, p, id) || p != t.size())
        return false;
    return Pend(t[1].Text, t[3].Text, Bound(value), key, std::move(id));
}

// The export's own UPDATE [table] SET [column]=value WHERE ID=n, read without
// tokens: it is nearly every statement of an export.
bool TSqliteConnection::BufferExportUpdate(std::string_view s)
{
    auto take = [&s](std::string_view prefix) {
        if (!s.starts_with(prefix))
            return false;
        s.remove_prefix(prefix.size());
        return true;
    };
    auto upTo = [&s](char c, std::string_view& part) {
        const size_t end = s.find(c);
        if (end == std::string_view::npos)
            return false;
        part = s.substr(0, end);
        s.remove_prefix(end);
        return true;
    };
    std::string_view table, column, literal, key;
    if (!take("UPDATE [") || !upTo(']', table) || !take("] SET [") || !upTo(']', column) || !take("]="))
        return false;
    const size_t where = s.rfind(" WHERE ");
    if (where == std::string_view::npos)
        return false;
    literal = s.substr(0, where);
    s.remove_prefix(where + 7);
    if (!upTo('=', key) || key.empty() || !IsWordText(key))
        return false;
    s.remove_prefix(1);
    if (s.empty() || s.size() > 18 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    QVariant value;
    if (!ExportLiteral(literal, value))
        return false;
    return Pend(table, column, std::move(value), key, std::stoll(std::string(s)));
}

bool TSqliteConnection::Pend(std::string_view tableName, std::string_view columnName, QVariant value,
                             std::string_view keyName, TSqlValue id)
{
    TJetTable* table = pending_.Table && pending_.Table->Name == tableName ? pending_.Table : schema_.Find(tableName);
    if (!table || table->Constrained())
        return false;
    // Columns come in table order: the one after the last is tried first.
    const size_t next = pending_.Next;
    const TJetColumn* column = next < table->Columns.size() && table->Columns[next].Name == columnName
                                   ? &table->Columns[next]
                                   : table->Column(columnName);
    const TJetColumn* key = table->Column(keyName);
    if (!column || !key)
        throw ESqlError("no such column: " + std::string(column ? keyName : columnName));
    if (column->Counter)
        return false;
    if ((!pending_.Values.empty() || pending_.New) &&
        !(pending_.Table == table && pending_.Key == key && pending_.Id == id))
        Flush();
    pending_.Table = table;
    pending_.Key = key;
    pending_.Id = std::move(id);
    const size_t index = size_t(column - table->Columns.data());
    pending_.Next = index + 1;
    if (pending_.Slots.size() < table->Columns.size())
        pending_.Slots.resize(table->Columns.size(), -1);
    int& slot = pending_.Slots[index];
    if (slot >= 0) {
        pending_.Values[size_t(slot)].second = std::move(value);
    } else {
        slot = int(pending_.Values.size());
        pending_.Values.emplace_back(index, std::move(value));
    }
    return true;
}

// Named marks: Qt binds a value by its name without first writing out the
// name of a position, which costs more than the value itself on wide rows.
std::string TSqliteConnection::MarkText(size_t i)
{
    return ":v" + std::to_string(i);
}

const QString& TSqliteConnection::Mark(size_t i)
{
    while (marks_.size() <= i)
        marks_.push_back(QString::fromLatin1(MarkText(marks_.size())));
    return marks_[i];
}

void TSqliteConnection::Flush()
{
    if (pending_.Values.empty() && !pending_.New)
        return;
    ApplySchema();
    // Rows of one export share their shape: the statement is built once.
    const bool sameShape = shape_.Query && shape_.Table == pending_.Table && shape_.New == pending_.New &&
                           shape_.Columns.size() == pending_.Values.size() &&
                           std::equal(shape_.Columns.begin(), shape_.Columns.end(), pending_.Values.begin(),
                                      [](size_t c, const auto& entry) { return c == entry.first; });
    if (!sameShape) {
        const std::vector<TJetColumn>& columns = pending_.Table->Columns;
        std::string sql;
        if (pending_.New) {
            std::string names = SqliteName(pending_.Key->Name);
            std::string marks = MarkText(0);
            for (size_t i = 0; i < pending_.Values.size(); ++i) {
                names += ", " + SqliteName(columns[pending_.Values[i].first].Name);
                marks += ", " + MarkText(i + 1);
            }
            sql = "INSERT INTO " + SqliteName(pending_.Table->Name) + " (" + names + ") VALUES (" + marks + ")";
        } else {
            sql = "UPDATE " + SqliteName(pending_.Table->Name) + " SET ";
            for (size_t i = 0; i < pending_.Values.size(); ++i)
                sql += (i ? ", " : "") + SqliteName(columns[pending_.Values[i].first].Name) + "=" + MarkText(i);
            sql += " WHERE " + SqliteName(pending_.Key->Name) + "=" + MarkText(pending_.Values.size());
        }
        shape_.Query = &Prepared(sql);
        shape_.Table = pending_.Table;
        shape_.New = pending_.New;
        shape_.Columns.clear();
        for (const auto& entry : pending_.Values)
            shape_.Columns.push_back(entry.first);
    }
    QSqlQuery& query = *shape_.Query;
    size_t position = 0;
    if (pending_.New)
        query.bindValue(Mark(position++), Bound(pending_.Id));
    for (auto& entry : pending_.Values)
        query.bindValue(Mark(position++), std::move(entry.second));
    if (!pending_.New)
        query.bindValue(Mark(position), Bound(pending_.Id));
    for (const auto& entry : pending_.Values)
        pending_.Slots[entry.first] = -1;
    pending_.Values.clear();
    pending_.Table = nullptr;
    pending_.Key = nullptr;
    pending_.New = false;
    pending_.Next = 0;
    if (!query.exec())
        Throw(query.lastError());
}

// A row of defaults appended to a table of the schema waits for the values
// of its UPDATEs; its ID is the one SQLite would give it.
bool TSqliteConnection::AppendPending(const std::string& name)
{
    const TJetTable* table = schema_.Find(name);
    if (!table || table->Constrained())
        return false;
    const auto counter = std::find_if(table->Columns.begin(), table->Columns.end(),
                                      [](const TJetColumn& c) { return c.Counter; });
    if (counter == table->Columns.end())
        return false;
    pending_.Id = NextId(*table);
    pending_.Table = const_cast<TJetTable*>(table);
    pending_.Key = &*counter;
    pending_.New = true;
    return true;
}

long long TSqliteConnection::NextId(const TJetTable& table)
{
    auto found = nextIds_.find(table.Name);
    if (found == nextIds_.end()) {
        // AUTOINCREMENT: above every ID the table has had.
        const std::string sql = "SELECT MAX(m) FROM (SELECT MAX(rowid) AS m FROM " + SqliteName(table.Name) +
                                " UNION ALL SELECT seq FROM sqlite_sequence WHERE name=?)";
        QSqlQuery* result = nullptr;
        Run({sql, {table.Name}}, &result);
        const long long last = result->next() ? result->value(0).toLongLong() : 0;
        result->finish();
        found = nextIds_.emplace(table.Name, last + 1).first;
    }
    return found->second++;
}

// Tables made or changed by the schema's statements, written to the file:
// a new table is created, a changed one rebuilt with its rows.
void TSqliteConnection::ApplySchema()
{
    for (TJetTable& table : schema_.Tables()) {
        if (!table.Changed)
            continue;
        if (!table.Created) {
            RunText(TJetSchema::CreateSql(table, table.Name));
        } else {
            const std::string rebuilt = table.Name + "~rebuilt";
            std::string columns;
            for (size_t i = 0; i < table.CreatedColumns; ++i)
                columns += (i ? ", " : "") + SqliteName(table.Columns[i].Name);
            prepared_.clear();
            shape_.Query = nullptr;
            rowQuery_ = nullptr;
            RunText(TJetSchema::CreateSql(table, rebuilt));
            RunText("INSERT INTO " + SqliteName(rebuilt) + " (" + columns + ") SELECT " + columns + " FROM " +
                    SqliteName(table.Name));
            RunText("DROP TABLE " + SqliteName(table.Name));
            RunText("ALTER TABLE " + SqliteName(rebuilt) + " RENAME TO " + SqliteName(table.Name));
        }
        table.Created = true;
        table.Changed = false;
        table.CreatedColumns = table.Columns.size();
    }
}

void TSqliteConnection::AppendRow(const std::string& query)
{
    const std::vector<TJetToken> tokens = JetTokens(query);
    size_t from = 0;
    while (from + 1 < tokens.size() && !IsWord(tokens[from], "FROM"))
        ++from;
    if (from + 1 >= tokens.size() || !IsName(tokens[from + 1]))
        throw ESqlError("Syntax error in FROM clause.");
    Flush();
    ApplySchema();
    if (AppendPending(tokens[from + 1].Text))
        return;
    nextIds_.clear();
    Run({"INSERT INTO " + SqliteName(tokens[from + 1].Text) + " DEFAULT VALUES", {}});
}

bool TSqliteConnection::PrepareRows(const std::string& name, const std::vector<std::string>& columns)
{
    const TJetTable* table = schema_.Find(name);
    if (!table || table->Constrained() ||
        std::none_of(table->Columns.begin(), table->Columns.end(), [](const TJetColumn& c) { return c.Counter; }))
        return false;
    std::vector<size_t> indexes;
    for (const std::string& column : columns) {
        const TJetColumn* found = table->Column(column);
        if (!found || found->Counter)
            return false;
        indexes.push_back(size_t(found - table->Columns.data()));
    }
    rowTable_ = name;
    rowColumns_ = std::move(indexes);
    rowQuery_ = nullptr;
    return true;
}

// A row appended with all its values at once: what a row of defaults and
// one UPDATE a column become, without their texts, bound straight to the
// statement of such rows.
void TSqliteConnection::AppendValues(const TSqlCell* values)
{
    Flush();
    ApplySchema();
    const TJetTable* table = schema_.Find(rowTable_);
    if (!table)
        throw ESqlError("no such table: " + rowTable_);
    const long long id = NextId(*table);
    if (!rowQuery_) {
        const auto counter = std::find_if(table->Columns.begin(), table->Columns.end(),
                                          [](const TJetColumn& c) { return c.Counter; });
        std::string names = SqliteName(counter->Name);
        std::string marks = MarkText(0);
        for (size_t i = 0; i < rowColumns_.size(); ++i) {
            names += ", " + SqliteName(table->Columns[rowColumns_[i]].Name);
            marks += ", " + MarkText(i + 1);
        }
        rowQuery_ = &Prepared("INSERT INTO " + SqliteName(table->Name) + " (" + names + ") VALUES (" + marks + ")");
    }
    QSqlQuery& query = *rowQuery_;
    query.bindValue(Mark(0), QVariant(qlonglong(id)));
    for (size_t i = 0; i < rowColumns_.size(); ++i) {
        const TSqlCell& cell = values[i];
        query.bindValue(Mark(i + 1), cell.IsNull   ? QVariant()
                                     : cell.IsText ? QVariant(FromUtf8(cell.Text))
                                     : cell.IsReal ? QVariant(cell.Real)
                                                   : QVariant(qlonglong(cell.Number)));
    }
    if (!query.exec())
        Throw(query.lastError());
}

long long TSqliteConnection::FirstValue(const std::string& query)
{
    const std::vector<TJetToken> t = JetTokens(query);
    // SELECT ID FROM table ORDER BY ID DESC just after the row was appended.
    if (pending_.New && t.size() == 8 && IsWord(t[0], "SELECT") &&
        SameTextIgnoringCase(t[1].Text, pending_.Key->Name) && IsWord(t[2], "FROM") &&
        SameTextIgnoringCase(t[3].Text, pending_.Table->Name) && IsWord(t[4], "ORDER") && IsWord(t[5], "BY") &&
        SameTextIgnoringCase(t[6].Text, pending_.Key->Name) && IsWord(t[7], "DESC"))
        return std::get<long long>(pending_.Id);
    const TSqliteStatement select = SqliteStatement(t);
    Flush();
    ApplySchema();
    QSqlQuery* result = nullptr;
    Run(select, &result);
    const bool found = result->next();
    const long long value = found ? result->value(0).toLongLong() : 0;
    result->finish();
    if (!found)
        throw ESqlError("Either BOF or EOF is True, or the current record has been deleted.");
    return value;
}

void TSqliteConnection::BeginTransaction()
{
    RunText("BEGIN");
}

void TSqliteConnection::CommitTransaction()
{
    Flush();
    ApplySchema();
    RunText("COMMIT");
}

QSqlQuery& TSqliteConnection::Prepared(const std::string& sql)
{
    auto found = prepared_.find(sql);
    if (found != prepared_.end())
        return found->second;
    QSqlQuery query(QSqlDatabase::database(name_, false));
    query.setForwardOnly(true);
    if (!query.prepare(QString::fromUtf8(sql)))
        Throw(query.lastError());
    if (prepared_.size() >= 256) {  // statements of other shapes than an export's
        prepared_.clear();
        shape_.Query = nullptr;
        rowQuery_ = nullptr;
    }
    return prepared_.emplace(sql, std::move(query)).first->second;
}

void TSqliteConnection::Run(const TSqliteStatement& statement, QSqlQuery** done)
{
    QSqlQuery& query = Prepared(statement.Sql);
    for (size_t i = 0; i < statement.Values.size(); ++i)
        query.bindValue(int(i), Bound(statement.Values[i]));
    if (!query.exec())
        Throw(query.lastError());
    if (done)
        *done = &query;
}

void TSqliteConnection::RunText(const std::string& sql)
{
    QSqlQuery query(QSqlDatabase::database(name_, false));
    if (!query.exec(QString::fromUtf8(sql)))
        Throw(query.lastError());
}

}  // namespace quorvil
