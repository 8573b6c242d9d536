// Measures how long the editor takes to open a large database, against
// `quorvil-cli info` on the same file. Usage:
//   QT_QPA_PLATFORM=offscreen quorvil-open-timing [file.PDB]
// Without a file it writes a 65535-record database to a temporary directory.
#include "cli.h"
#include "database_tabs.h"
#include "field_types.h"
#include "jfile.h"
#include "main_window.h"
#include "text_convert.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

namespace {

using namespace quorvil;

std::string MakeLargeDatabase(const QString& directory)
{
    const std::string path = QStringToPath(directory) + "/Large.PDB";
    auto db = CreateNew<TJFILE>(path);
    const char* names[] = {"Name", "City", "Amount", "Date", "Note"};
    const uint16_t types[] = {kTypeString, kTypeString, kTypeFloat, kTypeDate, kTypeString};
    db->SetFieldCount(5);
    for (int f = 1; f <= 5; ++f) {
        db->SetFieldName(f, names[f - 1]);
        db->SetFieldType(f, types[f - 1]);
    }
    db->SetRecordCount(65535);
    for (int r = 1; r <= 65535; ++r) {
        db->SetCell(r, 1, "Customer " + std::to_string(r));
        db->SetCell(r, 2, r % 2 ? "Amsterdam" : "Lisbon");
        db->SetCell(r, 3, std::to_string(r % 1000) + ".25");
        db->SetCell(r, 4, "12/03/2024");
        db->SetCell(r, 5, "A note of some length for record " + std::to_string(r));
    }
    db->SaveWithName("Large");
    return path;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double TimeCliInfo(const std::string& path)
{
    QElapsedTimer timer;
    timer.start();
    std::ostringstream out, err;
    std::string program = "quorvil-cli", command = "info", file = path;
    char* argv[] = {program.data(), command.data(), file.data(), nullptr};
    if (RunCli(3, argv, out, err) != 0)
        std::fprintf(stderr, "quorvil-cli info failed: %s", err.str().c_str());
    return double(timer.nsecsElapsed()) / 1e6;
}

double TimeEditorOpen(const std::string& path)
{
    QElapsedTimer timer;
    timer.start();
    TMainForm form;
    form.FormCreate({PathToQString(path)});
    form.show();
    QApplication::processEvents();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!form.Tabs()->CurrentDB())
        std::fprintf(stderr, "the editor did not open %s\n", path.c_str());
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir work;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.path()));  // leave the user's settings alone
    const std::string path = argc > 1 ? std::string(argv[1]) : MakeLargeDatabase(work.path());

    std::vector<double> cli, editor;
    for (int run = 0; run < 5; ++run) {
        cli.push_back(TimeCliInfo(path));
        editor.push_back(TimeEditorOpen(path));
    }
    const double c = Median(cli), e = Median(editor);
    std::printf("file: %s\nquorvil-cli info: %.1f ms (median of 5)\neditor open:      %.1f ms (median of 5)\n"
                "ratio: %.2f (limit 2.00)\n",
                path.c_str(), c, e, e / c);
    return e <= 2 * c ? 0 : 1;
}
