#pragma once
// The export's statements run on an SQLite file. Each UPDATE of one column
// of one row (the bulk of an export) is checked at once against the schema,
// so that it fails where it stands, and the values of one row's UPDATEs are
// then written together: a row appended through the record set and filled
// by UPDATEs becomes one INSERT, a prepared statement per set of columns.
#include "jet_dialect.h"
#include "sql_connection.h"

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TSqliteConnection : public TSqlConnection {
public:
    // Opens (creating) the SQLite file. Throws ESqlError.
    explicit TSqliteConnection(const std::string& fileName);
    ~TSqliteConnection() override;

    void Execute(const std::string& statement) override;
    void AppendRow(const std::string& query) override;
    long long FirstValue(const std::string& query) override;
    bool PrepareRows(const std::string& table, const std::vector<std::string>& columns) override;
    void AppendValues(const TSqlCell* values) override;
    void BeginTransaction() override;
    void CommitTransaction() override;

private:
    // The pending values of one row: its table, key column, key and values
    // by column; a new row is not in the file yet.
    struct TPendingRow {
        TJetTable* Table = nullptr;  // of the schema, which no statement changes while a row waits
        const TJetColumn* Key = nullptr;
        TSqlValue Id;
        bool New = false;
        std::vector<std::pair<size_t, QVariant>> Values;  // by column index
        std::vector<int> Slots;                           // of each column in Values, or -1
        size_t Next = 0;                                  // the column looked at first
    };

    bool Buffer(const std::vector<TJetToken>& tokens);
    bool BufferExportUpdate(std::string_view statement);
    bool Pend(std::string_view table, std::string_view column, QVariant value, std::string_view key, TSqlValue id);
    bool AppendPending(const std::string& table);
    long long NextId(const TJetTable& table);
    void Flush();
    static std::string MarkText(size_t i);
    const QString& Mark(size_t i);
    void ApplySchema();
    QSqlQuery& Prepared(const std::string& sql);
    void Run(const TSqliteStatement& statement, QSqlQuery** done = nullptr);
    void RunText(const std::string& sql);

    QString name_;
    TJetSchema schema_;
    std::map<std::string, QSqlQuery> prepared_;
    std::vector<QString> marks_;  // ":v0", ":v1", ...
    TPendingRow pending_;
    // The statement that wrote the last row, and that row's columns.
    struct TRowShape {
        const TJetTable* Table = nullptr;
        bool New = false;
        std::vector<size_t> Columns;
        QSqlQuery* Query = nullptr;  // one of prepared_
    } shape_;
    // The table and column indexes of PrepareRows.
    std::string rowTable_;
    std::vector<size_t> rowColumns_;
    QSqlQuery* rowQuery_ = nullptr;             // one of prepared_
    std::map<std::string, long long> nextIds_;  // of the tables only this connection has written
};

}  // namespace quorvil
