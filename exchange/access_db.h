#pragma once
// The connection to an Access-style database file: one current table, and
// every statement's text handed to a hook just before it runs.
#include "sql_connection.h"

#include <memory>
#include <string>
#include <vector>

namespace quorvil {

class TAccessDB {
public:
    explicit TAccessDB(std::unique_ptr<TSqlConnection> connection);
    virtual ~TAccessDB();
    TAccessDB(const TAccessDB&) = delete;
    TAccessDB& operator=(const TAccessDB&) = delete;

    // CREATE TABLE [table] (ID COUNTER, PRIMARY KEY(ID)); `table` becomes the
    // current table.
    void CreateTable(const std::string& table);
    // ALTER TABLE [table] ADD [column] type
    void AddColumn(const std::string& table, const std::string& column, const std::string& type);
    // Columns of the current table, with their defaults: MEMO with "",
    // INTEGER with 0, DOUBLE, DATE, TIME, BIT with FALSE.
    void AddTextColumn(const std::string& column);
    void AddIntegerColumn(const std::string& column);
    void AddFloatColumn(const std::string& column);
    void AddDateColumn(const std::string& column);
    void AddTimeColumn(const std::string& column);
    void AddBooleanColumn(const std::string& column);
    // Appends a row of column defaults to the current table and returns its
    // ID, read back as the highest one.
    long long AppendRecord();
    // Hands `statement` to the hook, then runs it. Throws ESqlError.
    void ExecuteSQL(const std::string& statement);
    // Rows of the current table written at once, without statements, for
    // the `columns` named: only when no hook watches the statements (this
    // class itself, not a subclass) and the connection can. False otherwise.
    bool PrepareRows(const std::vector<std::string>& columns);
    // Appends a row of `values`, one for each column of PrepareRows.
    void AppendValues(const TSqlCell* values) { connection_->AppendValues(values); }

    void BeginTransaction() { connection_->BeginTransaction(); }
    void CommitTransaction() { connection_->CommitTransaction(); }
    const std::string& Table() const { return table_; }

protected:
    // Sees the text of every statement, the record set's queries included,
    // before it runs. Does nothing here.
    virtual void BeforeStatement(const std::string& text);

private:
    void SetDefault(const std::string& column, const std::string& ending);

    std::unique_ptr<TSqlConnection> connection_;
    std::string table_;
};

}  // namespace quorvil
