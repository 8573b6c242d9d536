#include "sql_database.h"

#include "jet_dialect.h"
#include "sqlite_connection.h"

#include <QFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
// odbcinst.h needs the types windows.h declares.
#include <odbcinst.h>
#endif

namespace quorvil {

namespace {

// The statements as Jet takes them: the colon doubling is the command
// layer's, so a doubled colon inside a text or a date becomes one.
QString JetText(const std::string& statement)
{
    std::string out;
    char open = 0;
    for (size_t p = 0; p < statement.size(); ++p) {
        const char c = statement[p];
        if (open == 0 && (c == '"' || c == '\'' || c == '#' || c == '['))
            open = c == '[' ? ']' : c;
        else if (open != 0 && c == open)
            open = 0;
        else if ((open == '"' || open == '\'' || open == '#') && c == ':' && p + 1 < statement.size() &&
                 statement[p + 1] == ':')
            ++p;
        out += c;
    }
    return QString::fromStdString(out);
}

[[noreturn]] void Throw(const QSqlError& error)
{
    throw ESqlError((error.databaseText().isEmpty() ? error.text() : error.databaseText()).toStdString());
}

// The name of an installed Access ODBC driver, empty when there is none or
// no way to create an empty Access file here.
QString AccessOdbcDriver()
{
#ifdef _WIN32
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        return {};
    QSettings drivers(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers"),
                      QSettings::NativeFormat);
    for (const QString& name : drivers.childKeys())
        if (name.startsWith(QStringLiteral("Microsoft Access Driver (*.mdb")))
            return name;
#endif
    return {};
}

// A new, empty Access file made by the driver itself.
void CreateEmptyAccessFile(const QString& driver, const std::string& fileName)
{
    std::error_code ec;
    std::filesystem::remove(fileName, ec);
#ifdef _WIN32
    std::wstring attributes = L"CREATE_DB=\"" + QFile::decodeName(QByteArray::fromStdString(fileName)).toStdWString() +
                              L"\" General";
    attributes.push_back(L'\0');
    if (!SQLConfigDataSourceW(nullptr, ODBC_ADD_DSN, driver.toStdWString().c_str(), attributes.c_str()))
        throw ESqlError("Cannot create the Access file " + fileName);
#else
    (void)driver;
    throw ESqlError("No Access ODBC driver can create " + fileName);
#endif
}

// The statements unchanged (but for the colons) through QODBC to a real
// Access file.
class TOdbcConnection : public TSqlConnection {
public:
    TOdbcConnection(const std::string& fileName, const QString& driver)
        : name_(QStringLiteral("quorvil-odbc-") + QString::fromStdString(fileName))
    {
        CreateEmptyAccessFile(driver, fileName);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name_);
        db.setDatabaseName(QStringLiteral("DRIVER={%1};DBQ=%2").arg(driver, QString::fromStdString(fileName)));
        if (!db.open()) {
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name_);
            Throw(error);
        }
    }
    ~TOdbcConnection() override
    {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    void Execute(const std::string& statement) override
    {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        if (!query.exec(JetText(statement)))
            Throw(query.lastError());
    }
    // Jet has no DEFAULT VALUES: the row gets the next counter value and
    // the defaults of every other column.
    void AppendRow(const std::string& query) override
    {
        const std::vector<TJetToken> tokens = JetTokens(query);
        const std::string table = tokens.size() > 3 ? tokens[3].Text : std::string();
        Execute("INSERT INTO [" + table + "] ([ID]) SELECT IIF(MAX([ID]) IS NULL, 1, MAX([ID]) + 1) FROM [" + table +
                "]");
    }
    long long FirstValue(const std::string& text) override
    {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        query.setForwardOnly(true);
        if (!query.exec(JetText(text)))
            Throw(query.lastError());
        if (!query.next())
            throw ESqlError("Either BOF or EOF is True, or the current record has been deleted.");
        return query.value(0).toLongLong();
    }
    void BeginTransaction() override
    {
        if (!QSqlDatabase::database(name_, false).transaction())
            Throw(QSqlDatabase::database(name_, false).lastError());
    }
    void CommitTransaction() override
    {
        if (!QSqlDatabase::database(name_, false).commit())
            Throw(QSqlDatabase::database(name_, false).lastError());
    }

private:
    QString name_;
};

bool EndsWithMdb(const std::string& fileName)
{
    const std::string ext = std::filesystem::path(fileName).extension().string();
    return ext.size() == 4 && QString::fromStdString(ext).compare(QStringLiteral(".mdb"), Qt::CaseInsensitive) == 0;
}

}  // namespace

TSqlFileKind AccessFileKind()
{
    if (!AccessOdbcDriver().isEmpty())
        return {"MDB", "Access Databases"};
    return {"sqlite", "SQLite database"};
}

std::unique_ptr<TSqlConnection> CreateSqlDatabase(const std::string& fileName)
{
    // The export's temporary file keeps the target's extension.
    const QString driver = EndsWithMdb(fileName) ? AccessOdbcDriver() : QString();
    if (!driver.isEmpty())
        return std::make_unique<TOdbcConnection>(fileName, driver);
    {
        // An empty file is an empty SQLite database; anything else goes.
        QFile file(QFile::decodeName(QByteArray::fromStdString(fileName)));
        if (file.exists() && file.size() > 0 && !file.resize(0))
            throw ESqlError("Cannot replace " + fileName + ": " + file.errorString().toStdString());
    }
    return std::make_unique<TSqliteConnection>(fileName);
}

}  // namespace quorvil
