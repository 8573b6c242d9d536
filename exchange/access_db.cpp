#include "access_db.h"

#include <typeinfo>

namespace quorvil {

TAccessDB::TAccessDB(std::unique_ptr<TSqlConnection> connection) : connection_(std::move(connection)) {}

TAccessDB::~TAccessDB() = default;

void TAccessDB::BeforeStatement(const std::string&) {}

void TAccessDB::ExecuteSQL(const std::string& statement)
{
    BeforeStatement(statement);
    connection_->Execute(statement);
}

bool TAccessDB::PrepareRows(const std::vector<std::string>& columns)
{
    // A subclass may watch BeforeStatement: it then sees every statement.
    if (typeid(*this) != typeid(TAccessDB))
        return false;
    return connection_->PrepareRows(table_, columns);
}

void TAccessDB::CreateTable(const std::string& table)
{
    ExecuteSQL("CREATE TABLE [" + table + "] (ID COUNTER, PRIMARY KEY(ID))");
    table_ = table;
}

void TAccessDB::AddColumn(const std::string& table, const std::string& column, const std::string& type)
{
    ExecuteSQL("ALTER TABLE [" + table + "] ADD [" + column + "] " + type);
}

void TAccessDB::SetDefault(const std::string& column, const std::string& ending)
{
    ExecuteSQL("ALTER TABLE [" + table_ + "] ALTER COLUMN [" + column + ending);
}

void TAccessDB::AddTextColumn(const std::string& column)
{
    AddColumn(table_, column, "MEMO");
    SetDefault(column, "] SET DEFAULT \"\"");
}

void TAccessDB::AddIntegerColumn(const std::string& column)
{
    AddColumn(table_, column, "INTEGER");
    SetDefault(column, "] SET DEFAULT 0");
}

void TAccessDB::AddFloatColumn(const std::string& column)
{
    AddColumn(table_, column, "DOUBLE");
}

void TAccessDB::AddDateColumn(const std::string& column)
{
    AddColumn(table_, column, "DATE");
}

void TAccessDB::AddTimeColumn(const std::string& column)
{
    AddColumn(table_, column, "TIME");
}

void TAccessDB::AddBooleanColumn(const std::string& column)
{
    AddColumn(table_, column, "BIT");
    SetDefault(column, "] SET DEFAULT FALSE");
}

long long TAccessDB::AppendRecord()
{
    const std::string append = "SELECT * FROM [" + table_ + "] WHERE ID=0";
    BeforeStatement(append);
    connection_->AppendRow(append);
    const std::string last = "SELECT ID FROM [" + table_ + "] ORDER BY ID DESC";
    BeforeStatement(last);
    return connection_->FirstValue(last);
}

}  // namespace quorvil
