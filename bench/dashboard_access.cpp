// The dashboard's Access-style export: the large database written to an
// SQLite file as the editor writes it.
#include "access_export.h"
#include "sql_database.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace quorvil::bench {

double BestAccessExport(TJFILE& db, const std::string& file, int runs)
{
    // Qt Sql loads its drivers through the application object.
    int argc = 1;
    char name[] = "quorvil_dashboard";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    auto open = [](const std::string& path) { return std::make_unique<TAccessDB>(CreateSqlDatabase(path)); };
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        std::filesystem::remove(file);
        const auto start = std::chrono::steady_clock::now();
        ExportToAccess(db, file, open);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace quorvil::bench
