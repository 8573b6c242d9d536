#include "access_fixture.h"

#include "charset.h"
#include "sql_database.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace quorvil::accesstest {

namespace {

// Qt Sql loads its drivers through the application object.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "access_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class RecordingDB : public TAccessDB {
public:
    RecordingDB(std::unique_ptr<TSqlConnection> connection, std::vector<std::string>& seen)
        : TAccessDB(std::move(connection)), seen_(seen)
    {
    }

protected:
    void BeforeStatement(const std::string& text) override { seen_.push_back(text); }

private:
    std::vector<std::string>& seen_;
};

}  // namespace

std::unique_ptr<TJFILE> MakeDatabase(const std::string& title, const std::vector<FieldSpec>& fields,
                                     const std::vector<std::vector<std::string>>& rows)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    db->PdbHeader.Name = title;
    db->SetFieldCount(int(fields.size()));
    for (size_t f = 0; f < fields.size(); ++f) {
        db->SetFieldName(int(f + 1), fields[f].Name);
        db->SetFieldType(int(f + 1), fields[f].Type);
    }
    db->SetRecordCount(uint16_t(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t f = 0; f < rows[r].size(); ++f)
            db->SetCell(int(r + 1), int(f + 1), rows[r][f]);
    return db;
}

ExportRun RunExport(TJFILE& db, const std::string& fileName)
{
    ExportRun run;
    TAccessEvents events;
    events.Warning = [&](const std::string& text) { run.Warnings.push_back(text); };
    run.Errors = ExportToAccess(db, fileName, [&](const std::string& name) {
        return std::make_unique<RecordingDB>(CreateSqlDatabase(name), run.Statements);
    }, events);
    return run;
}

TableContents ReadTable(const std::string& fileName, const std::string& table)
{
    TableContents contents;
    const QString connection = QStringLiteral("readback");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QString::fromStdString(fileName));
        EXPECT_TRUE(db.open());
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY ID").arg(Text(table))));
        const QSqlRecord record = query.record();
        // The names as the file has them (Qt's record drops double quotes).
        QSqlQuery names(db);
        EXPECT_TRUE(names.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(Text(table))));
        while (names.next())
            contents.Columns.push_back(names.value(1).toString());
        while (query.next()) {
            contents.Rows.emplace_back();
            for (int c = 0; c < record.count(); ++c)
                contents.Rows.back().push_back(query.value(c));
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return contents;
}

QString Text(const std::string& bytes)
{
    return QString::fromStdString(Cp1252ToUtf8(bytes));
}

}  // namespace quorvil::accesstest
