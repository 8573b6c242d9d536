// The performance dashboard: generates the standard large database and prints
// one table of every figure beside its baseline measured in the same run, as
// a ratio, with the target each ratio must meet. Each figure is the best of a
// few runs (the machine is shared; the best run is the least disturbed one).
// Exit status 1 when a target is missed.
#include "bench_data.h"
#include "copy_records.h"
#include "csv_import.h"
#include "database_charset.h"
#include "export.h"
#include "field_types.h"
#include "find_replace.h"
#include "merge.h"
#include "numbers.h"
#include "record_filter.h"
#include "record_sort.h"
#include "save_as.h"
#include "split.h"
#include "standard_csv.h"
#include "text_writers.h"
#ifdef QUORVIL_XLSX_EXPORT
#include "xlsx_export.h"
#endif
#ifdef QUORVIL_DASHBOARD_ZLIB
#include <zlib.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quorvil::bench {

#ifdef QUORVIL_ACCESS_EXPORT
// dashboard_access.cpp: the best of `runs` Access-style exports to `file`.
double BestAccessExport(TJFILE& db, const std::string& file, int runs);
#endif

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 3;
// The exports take a tenth of a second: more runs cost little and steady
// their best.
constexpr int kExportRuns = 5;

double Seconds(const std::function<void()>& work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of `runs` runs of `work`; `prepare` runs before each, untimed.
double Best(const std::function<void()>& work, const std::function<void()>& prepare = {}, int runs = kRuns)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        best = std::min(best, Seconds(work));
    }
    return best;
}

struct Row {
    std::string what;
    std::string value;
    std::string baselineName;
    std::string baseline;
    double ratio;
    double limit;  // ratio must stay below (or at) this; 0: no target
};

std::string Ms(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f ms", seconds * 1000);
    return text;
}

std::string Mb(double bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    return text;
}

Row TimeRow(const std::string& what, double seconds, const std::string& baselineName, double baseline, double limit)
{
    return {what, Ms(seconds), baselineName, Ms(baseline), seconds / baseline, limit};
}

bool Print(const std::vector<Row>& rows)
{
    std::printf("%-42s %11s   %-38s %11s %7s  %s\n", "measure", "value", "baseline", "value", "ratio", "target");
    std::printf("%s\n", std::string(127, '-').c_str());
    bool allMet = true;
    for (const Row& row : rows) {
        char target[32] = "";
        if (row.limit > 0) {
            bool met = row.ratio <= row.limit;
            allMet = allMet && met;
            std::snprintf(target, sizeof target, "<= %g %s", row.limit, met ? "ok" : "MISSED");
        }
        std::printf("%-42s %11s   %-38s %11s %6.2fx  %s\n", row.what.c_str(), row.value.c_str(),
                    row.baselineName.c_str(), row.baseline.c_str(), row.ratio, target);
    }
    return allMet;
}

// One run of another program: its wall time and its peak resident memory.
struct ProcessRun {
    double seconds = 0;
    double peakBytes = 0;
};

// Runs `args` with its output to `output`. The peak is only the program's
// own when this process is small: a child's peak starts from the memory of
// the process it was spawned from (Linux keeps it across the exec).
ProcessRun RunProgram(const std::vector<std::string>& args, const std::string& output = "/dev/null")
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    auto start = std::chrono::steady_clock::now();
    int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[0] + " failed");
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {seconds, double(usage.ru_maxrss) * 1024.0};
}

// The peak resident memory of `args`, in bytes, and its wall time, spawned
// from a fresh and small process (this program run again with --peak-of) so
// that the peak is the program's own.
ProcessRun PeakAndTime(const char* self, const fs::path& dir, std::vector<std::string> args)
{
    const std::string report = (dir / "peak.txt").string();
    args.insert(args.begin(), {self, "--peak-of"});
    RunProgram(args, report);
    std::ifstream in(report);
    ProcessRun run{-1, -1};
    in >> run.peakBytes >> run.seconds;
    return run;
}

double PeakMemory(const char* self, const fs::path& dir, std::vector<std::string> args)
{
    return PeakAndTime(self, dir, std::move(args)).peakBytes;
}

// Peak resident memory of a fresh process that opens the database and holds
// it, in bytes.
double PeakMemoryWhileOpen(const char* self, const fs::path& dir, const std::string& path)
{
    return PeakMemory(self, dir, {self, "--open-and-exit", path});
}

// The cp program copying a file, as the baseline of the exports.
void RunCp(const std::string& from, const std::string& to)
{
    RunProgram({"cp", from, to});
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// An export beside cp copying the file it wrote.
Row ExportRow(const std::string& what, const std::function<void(const std::string&)>& write, const std::string& file,
              const fs::path& dir, double limit)
{
    // Alternately, each into a file that is not there yet (replacing one
    // costs the old file's pages, which cp into a fresh name never pays), so
    // that a busy moment of the machine falls on both sides alike.
    const std::string copy = (dir / "copy").string();
    double seconds = 1e30, copying = 1e30;
    for (int i = 0; i < kExportRuns; ++i) {
        fs::remove(file);
        seconds = std::min(seconds, Seconds([&] { write(file); }));
        fs::remove(copy);
        copying = std::min(copying, Seconds([&] { RunCp(file, copy); }));
    }
    double bytes = double(fs::file_size(file));
    Row row = TimeRow(what + " (" + Mb(bytes) + ")", seconds, "cp of the same bytes", copying, limit);
    fs::remove(copy);
    return row;
}

#if defined(QUORVIL_XLSX_EXPORT) && defined(QUORVIL_DASHBOARD_ZLIB)
// Deflating the workbook's parts at zlib's default level, as the workbook
// does: the floor of any writer of the same XML, which is several times the
// size of the compressed file. 0 when unzip cannot give the parts back.
double DeflateOfParts(const std::string& xlsx)
{
    std::string xml;
    FILE* pipe = ::popen(("unzip -p '" + xlsx + "' 2>/dev/null").c_str(), "r");
    if (!pipe)
        return 0;
    char block[1 << 16];
    for (size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;)
        xml.append(block, n);
    if (::pclose(pipe) != 0 || xml.empty())
        return 0;
    // Allocated and touched once, so that no run pays for fresh pages.
    std::vector<Bytef> out(compressBound(uLong(xml.size())), 1);
    return Best([&] {
        uLongf size = uLongf(out.size());
        ::compress2(out.data(), &size, reinterpret_cast<const Bytef*>(xml.data()), uLong(xml.size()),
                    Z_DEFAULT_COMPRESSION);
    });
}
#elif defined(QUORVIL_XLSX_EXPORT)
double DeflateOfParts(const std::string&)
{
    return 0;
}
#endif

struct Context {
    const char* self;
    fs::path dir;
    std::string path;  // the standard large database
    std::string copy;  // a copy of it, for a second database open at the same time
    double fileSize;
    double reading;  // seconds to read the file's bytes
    std::string readName;
};

void SaveInto(TJFILE& db, const std::string& file)
{
    TFileStream stream(file, TFileStream::Mode::CreateOrOpen);
    db.Save(stream);
    stream.Flush();
}

// Western text with letters from the upper half inside most words
// ("charlíe", "jülíet"): the hard case of the guess, which then reads
// every text in a multi-byte set too, as a byte followed by a letter is a
// two-byte character there.
void AccentWords(TJFILE& db)
{
    for (int f = 1; f <= db.FieldCount(); ++f) {
        if (db.GetFieldType(f) != TFieldType::String)
            continue;
        for (int r = 1; r <= db.RecordCount(); ++r) {
            std::string text = db.GetCell(r, f);
            for (char& ch : text)
                ch = ch == 'i' ? '\xED' : ch == 'u' ? '\xFC' : ch;
            db.SetCell(r, f, text);
        }
    }
}

// The character set guess that opening a database runs, beside the load it
// follows: on the standard database (plain ASCII), and, without a target,
// on the same with its words accented.
void AddCharsetGuess(const Context& c, const TJFILE& db, double loading, std::vector<Row>& rows)
{
    const double plain = Best([&] { GuessCharset(db); });
    rows.push_back(TimeRow("character set guess", plain, "load", loading, 1));
    std::unique_ptr<TJFILE> accented = Open(c.copy);
    AccentWords(*accented);
    const std::optional<TCharset> guessed = GuessCharset(*accented);
    std::printf("character set guess on accented Western text: %s\n",
                guessed ? std::string(CharsetName(*guessed)).c_str() : "none");
    const double western = Best([&] { GuessCharset(*accented); });
    rows.push_back(TimeRow("character set guess, accented words", western, "load", loading, 0));
}

void AddLoadAndSave(const Context& c, std::unique_ptr<TJFILE>& db, std::vector<Row>& rows)
{
    double loading = Best([&] { db = Open(c.path); }, [&] { db.reset(); });
    rows.push_back(TimeRow("load", loading, c.readName, c.reading, 5));
    AddCharsetGuess(c, *db, loading, rows);

    const std::string saved = (c.dir / "saved.pdb").string();
    double saving = Best([&] { SaveInto(*db, saved); }, [&] { fs::remove(saved); });
    rows.push_back(TimeRow("save", saving, c.readName, c.reading, 5));

    // What the editor does: a new file beside the old one, synced, renamed over it.
    const std::string own = (c.dir / "own.pdb").string();
    fs::copy_file(c.path, own);
    std::unique_ptr<TJFILE> opened = Open(own);
    double safe = Best([&] { opened->SaveWithName(opened->PdbHeader.Name); });
    rows.push_back(TimeRow("save, crash-safe with fsync", safe, c.readName, c.reading, 0));

    // The child opens the copy: this process holds the file open and locked.
    const double peak = PeakMemoryWhileOpen(c.self, c.dir, c.copy);
    rows.push_back({"peak memory while open", Mb(peak), "file size", Mb(c.fileSize), peak / c.fileSize, 1.5});
}

// The whole quorvil-cli process reading the database against cat reading the
// same file, run by turns so that both meet the same load of the machine;
// medians of several runs.
void AddCommandLine(const Context& c, std::vector<Row>& rows)
{
    constexpr int kProcessRuns = 7;
    std::vector<double> info, cat, peak;
    for (int i = 0; i < kProcessRuns; ++i) {
        cat.push_back(RunProgram({"cat", c.path}).seconds);
        info.push_back(RunProgram({QUORVIL_CLI_PATH, "info", c.path}).seconds);
        peak.push_back(PeakMemory(c.self, c.dir, {QUORVIL_CLI_PATH, "info", c.path}));
    }
    rows.push_back(TimeRow("quorvil-cli info (process)", Median(info), "cat of the same file", Median(cat), 3));
    const double memory = Median(peak);
    rows.push_back(
        {"quorvil-cli info, peak memory", Mb(memory), "file size", Mb(c.fileSize), memory / c.fileSize, 1.5});
}

// The JSON of every record, as a process writing to /dev/null beside cat.
void AddJsonInfo(const Context& c, std::vector<Row>& rows)
{
    constexpr int kProcessRuns = 7;
    const std::vector<std::string> command = {QUORVIL_CLI_PATH, "info", "--json", "--records", c.path};
    std::vector<double> json, cat, peak;
    for (int i = 0; i < kProcessRuns; ++i) {
        cat.push_back(RunProgram({"cat", c.path}).seconds);
        json.push_back(RunProgram(command).seconds);
        peak.push_back(PeakMemory(c.self, c.dir, command));
    }
    rows.push_back(
        TimeRow("quorvil-cli info --json --records (process)", Median(json), "cat of the same file", Median(cat), 8));
    const double memory = Median(peak);
    rows.push_back({"info --json --records, peak", Mb(memory), "file size", Mb(c.fileSize), memory / c.fileSize, 1.5});
}

void AddConversions(const Context& c, std::vector<Row>& rows)
{
    const std::string saved = (c.dir / "converted.pdb").string();
    for (TLayout layout : {TLayout::JFile3, TLayout::JFilePro4, TLayout::JFile5}) {
        const std::string name = Facts(layout).Name;
        std::unique_ptr<TJFILE> db;
        auto fresh = [&] {
            db.reset();
            fs::remove(saved);
            db = Open(c.copy);
        };
        // Synced and renamed over the target as Save as is, so that the
        // ratio below compares like with like.
        double converting = Best([&] { WriteInLayout(*db, layout, saved); }, fresh, 2);
        rows.push_back(TimeRow("convert to " + name + ", save (fsync)", converting, c.readName, c.reading, 0));
        // Save as converts a copy and replaces the file all-or-nothing; the
        // open database is not touched, so one load serves every run.
        db.reset();
        db = Open(c.copy);
        const auto goOn = [](const TLayoutLosses&) { return true; };
        double savingAs = Best([&] { SaveAs(*db, layout, saved, goOn); }, [&] { fs::remove(saved); }, 2);
        rows.push_back(TimeRow("save as " + name, savingAs, "convert to " + name + ", save", converting, 1.5));
    }
}

// Whole quorvil-cli convert and import processes beside cp of the file each
// wrote, by turns so that both meet the same load; medians of several runs.
void AddProcessConversions(const Context& c, TJFILE& db, std::vector<Row>& rows)
{
    constexpr int kProcessRuns = 7;
    const std::string converted = (c.dir / "cli-converted.pdb").string();
    const std::string csv = (c.dir / "cli-import.CSV").string();
    const std::string imported = (c.dir / "cli-imported.pdb").string();
    const std::string copy = (c.dir / "cli-copy").string();
    WriteCSV(db, AllFields(db), csv);
    // Both tools replace their output crash-safe, with an fsync that cp
    // lacks: the second floor is cp followed by a sync of the copy.
    auto copied = [&](const std::string& file, std::vector<double>& plain, std::vector<double>& synced) {
        const double cp = RunProgram({"cp", file, copy}).seconds;
        plain.push_back(cp);
        synced.push_back(cp + RunProgram({"sync", copy}).seconds);
    };
    std::vector<double> convert, convertCp, convertSynced, import, importCp, importSynced;
    for (int i = 0; i < kProcessRuns; ++i) {
        convert.push_back(RunProgram({QUORVIL_CLI_PATH, "convert", c.copy, "--layout", "1", "-o", converted}).seconds);
        copied(converted, convertCp, convertSynced);
        import.push_back(RunProgram({QUORVIL_CLI_PATH, "import", csv, "-o", imported}).seconds);
        copied(imported, importCp, importSynced);
    }
    rows.push_back(
        TimeRow("quorvil-cli convert --layout 1 (process)", Median(convert), "cp of its output", Median(convertCp), 3));
    rows.push_back(TimeRow("quorvil-cli convert --layout 1 (process)", Median(convert), "cp of its output, then sync",
                           Median(convertSynced), 3));
    rows.push_back(TimeRow("quorvil-cli import (process)", Median(import), "cp of its output", Median(importCp), 3));
    rows.push_back(TimeRow("quorvil-cli import (process)", Median(import), "cp of its output, then sync",
                           Median(importSynced), 3));
    fs::remove(copy);
}

void AddExports(const Context& c, TJFILE& db, std::vector<Row>& rows)
{
    std::vector<int> fields;
    for (int f = 1; f <= db.FieldCount(); ++f)
        fields.push_back(f);
    const std::string stem = (c.dir / "export").string();
    rows.push_back(ExportRow(
        "CSV export", [&](const std::string& f) { WriteCSV(db, fields, f); }, stem + ".CSV", c.dir, 2.5));
    rows.push_back(ExportRow(
        "HTML export", [&](const std::string& f) { WriteHTML(db, f, fields); }, stem + ".HTM", c.dir, 3));
    rows.push_back(ExportRow(
        "TXT export", [&](const std::string& f) { WriteTXT(db, f, fields); }, stem + ".TXT", c.dir, 3));
    rows.push_back(ExportRow(
        "standard CSV export", [&](const std::string& f) { WriteStandardCsv(db, fields, {}, f); }, stem + ".csv", c.dir,
        3));
#ifdef QUORVIL_XLSX_EXPORT
    const std::string xlsx = stem + ".xlsx";
    const double writing = Best([&] { WriteXlsx(db, fields, xlsx); });
    const double deflating = DeflateOfParts(xlsx);
    if (deflating > 0)
        rows.push_back(TimeRow("XLSX export (" + Mb(double(fs::file_size(xlsx))) + ")", writing,
                               "deflate of its own XML", deflating, 3));
    // The whole tool, so that the figure is the export's own and not this
    // process's; the copy, since `db` holds the large file locked.
    const double peak = PeakMemory(c.self, c.dir,
                                   {QUORVIL_CLI_PATH, "export", "xlsx", c.copy, "-o", stem + "-cli.xlsx"});
    rows.push_back({"quorvil-cli export xlsx, peak", Mb(peak), "file size", Mb(c.fileSize), peak / c.fileSize, 2});
#endif
#ifdef QUORVIL_PDF_EXPORT
    // Thousands of pages: one run, timed and measured at once. The tool
    // itself, since this program does not link Qt.
    const std::string pdf = stem + ".pdf";
    const ProcessRun printing = PeakAndTime(c.self, c.dir, {QUORVIL_CLI_PATH, "export", "pdf", c.copy, "-o", pdf});
    const std::string pdfSize = Mb(double(fs::file_size(pdf)));
#ifdef QUORVIL_XLSX_EXPORT
    // Each page is laid out, painted and compressed: ten workbooks' time.
    rows.push_back(TimeRow("quorvil-cli export pdf (" + pdfSize + ")", printing.seconds, "XLSX export", writing, 10));
#endif
    rows.push_back({"quorvil-cli export pdf, peak", Mb(printing.peakBytes), "file size", Mb(c.fileSize),
                    printing.peakBytes / c.fileSize, 2});
    fs::remove(pdf);
#endif
#ifdef QUORVIL_ACCESS_EXPORT
    const double csv = Best([&] { WriteCSV(db, fields, stem + ".CSV"); });
    rows.push_back(
        TimeRow("Access export (SQLite)", BestAccessExport(db, stem + ".sqlite", kRuns), "CSV export", csv, 10));
#endif
}

// The large database's CSV export (with its .DEF) imported back, beside
// loading the .PDB it came from.
void AddCsvImport(const Context& c, TJFILE& db, std::vector<Row>& rows)
{
    const std::string csv = (c.dir / "import.CSV").string();
    WriteCSV(db, AllFields(db), csv);
    // The copy: the large file itself is open in `db`, and locked.
    const double loading = Best([&] { Open(c.copy); });
    const double importing = Best([&] {
        TJFILE imported;
        imported.InitNew();
        ImportCSV(csv, {}, imported);
    });
    rows.push_back(TimeRow("CSV import, 65535 x 50", importing, "load of the .PDB", loading, 3));
}

void AddSort(const Context& c, std::unique_ptr<TJFILE>& db, std::vector<Row>& rows)
{
    // Each sort beside std::sort of the keys it builds: the cost of building
    // the keys (numbers and dates read once per record) shows in the ratio.
    const std::pair<const char*, TSortOrder> sorts[] = {
        {"sort by a text field", {{"Field 1"}, {}, {}}},
        {"sort by three fields (dialog)", ThreeFieldOrder(*db)},
        {"sort by a number and a date", {{"Field 3", "Field 5"}, {}, {}}},
    };
    for (const auto& [name, order] : sorts) {
        std::vector<std::string> keys;
        for (int r = 1; r <= db->RecordCount(); ++r)
            keys.push_back(SortKey(*db, r, order));
        std::vector<std::string> sorted;
        const double stdSort = Best([&] { std::sort(sorted.begin(), sorted.end()); }, [&] { sorted = keys; }, 5);
        const double sorting = Best([&] { SortRecords(*db, order, 1, db->RecordCount()); },
                                    [&] {
                                        db.reset();
                                        db = Open(c.path);
                                    });
        rows.push_back(TimeRow(name, sorting, "std::sort of the same keys", stdSort, 3));
    }
}

// Merge and copy of the whole large database into a second one beside
// loading both; split by a List field of 50 values beside saving it once.
void AddExchange(const Context& c, std::vector<Row>& rows)
{
    // The standard file is held open by the earlier rows: a copy of its own.
    const std::string masterFile = (c.dir / "master.pdb").string();
    fs::copy_file(c.path, masterFile);
    std::unique_ptr<TJFILE> master, other;
    const double loading = Best(
        [&] {
            master = Open(masterFile);
            other = Open(c.copy);
        },
        [&] {
            master.reset();
            other.reset();
        });
    auto reload = [&] {
        master.reset();
        master = Open(masterFile);
    };
    TMergeChoice choice = DefaultMergeChoice(*master, *other);
    choice.IdName = "Field 3";  // an Integer field
    const double merging = Best([&] { Merge(*master, *other, choice); }, reload);
    rows.push_back(TimeRow("merge 65535 by an Integer ID", merging, "loading both files", loading, 5));

    std::vector<int> all;
    for (int r = 1; r <= other->RecordCount(); ++r)
        all.push_back(r);
    const TCopyOptions key{KeyCandidates(*other, *master).front()};
    const double copying = Best([&] { CopyRecords(*other, all, *master, key); }, reload);
    rows.push_back(TimeRow("copy 65535 records by a key", copying, "loading both files", loading, 5));

    TJFILE& db = *other;
    for (int r = 1; r <= db.RecordCount(); ++r)
        db.SetCell(r, 7, "value " + std::to_string(r % 50));
    for (int k = 1; k <= 50; ++k)
        db.SetPopupItem(7, k, "value " + std::to_string(k - 1));
    const std::string saved = (c.dir / "once.pdb").string();
    const double saving = Best([&] { SaveInto(db, saved); }, [&] { fs::remove(saved); });
    const fs::path parts = c.dir / "parts";
    TSplitChoice split{7, SplitValues(db, 7, nullptr), parts.string(), {true, true, false, false}, {}};
    const double splitting = Best([&] { Split(db, split); },
                                  [&] {
                                      fs::remove_all(parts);
                                      fs::create_directories(parts);
                                  });
    rows.push_back(TimeRow("split by 50 values, PDB + CSV", splitting, "saving it once", saving, 3));
    fs::remove_all(parts);
}

#ifdef QUORVIL_GUI_BENCH
// The figures the editor's benchmark program prints for `arguments`, one
// "name milliseconds" per line, in seconds; empty when it failed.
std::map<std::string, double> GuiBenchFigures(const std::string& arguments)
{
    const std::string command = "QT_QPA_PLATFORM=offscreen " QUORVIL_GUI_BENCH " " + arguments + " 2>/dev/null";
    std::map<std::string, double> seconds;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return seconds;
    char name[64];
    double value = 0;
    while (std::fscanf(pipe, "%63s %lf", name, &value) == 2)
        seconds[name] = value / 1000;
    if (::pclose(pipe) != 0)
        seconds.clear();
    return seconds;
}
#endif

// The list and record views, measured by the editor's benchmark program
// (built with the editor) in a process of its own.
void AddViews(std::vector<Row>& rows)
{
#ifdef QUORVIL_GUI_BENCH
    std::map<std::string, double> ms = GuiBenchFigures("--dashboard-views");
    if (ms.size() != 6)
        return;
    rows.push_back(
        TimeRow("list screenful at row 60000", ms["list_row_60000"], "list screenful at row 1", ms["list_row_1"], 2));
    rows.push_back(
        TimeRow("record view of record 60000", ms["record_60000"], "record view of record 1", ms["record_1"], 2));
    rows.push_back(TimeRow("record view of record 60000", ms["record_60000"], "the 50 ms budget", 0.050, 1));
    // The window answers between the filter's slices; the rows come soon after.
    rows.push_back(TimeRow("filter row, 3 boxes: longest pause", ms["filter_longest"], "the 100 ms budget", 0.100, 1));
    rows.push_back(TimeRow("filter row, 3 boxes: rows shown", ms["filter_total"], "the 100 ms budget", 0.100, 5));
#else
    (void)rows;
#endif
}

// The editor opening the large database in its real window (offscreen),
// beside loading it as the command-line tool does (mapped) and as the
// editor's database does (read, the window's own share), all measured by the
// editor's benchmark program on a file of its own (the others are locked).
void AddEditorOpen(const Context& c, std::vector<Row>& rows)
{
#ifdef QUORVIL_GUI_BENCH
    const std::string file = (c.dir / "editor.pdb").string();
    fs::copy_file(c.path, file);
    std::map<std::string, double> ms = GuiBenchFigures("--dashboard-open '" + file + "'");
    fs::remove(file);
    if (ms.size() != 3)
        throw std::runtime_error("the editor did not open the large database");
    rows.push_back(TimeRow("editor open, real window", ms["editor_open"], "load as quorvil-cli does (mapped)",
                           ms["cli_load"], 1.5));
    rows.push_back(
        TimeRow("editor open, real window", ms["editor_open"], "load as the editor does (read)", ms["read_load"], 1.5));
#else
    (void)c;
    (void)rows;
#endif
}

// The workbook export from the editor's menu: the longest the window did
// not answer an event posted every 20 ms, measured by the editor's benchmark
// program on a file of its own.
void AddEditorExport(const Context& c, std::vector<Row>& rows)
{
#if defined(QUORVIL_GUI_BENCH) && defined(QUORVIL_XLSX_EXPORT)
    const std::string file = (c.dir / "exported.pdb").string();
    fs::copy_file(c.path, file);
    std::map<std::string, double> ms = GuiBenchFigures("--dashboard-export '" + file + "'");
    fs::remove(file);
    if (ms.size() != 2)
        throw std::runtime_error("the editor did not export the large database");
    rows.push_back(
        TimeRow("XLSX export in the window: longest pause", ms["export_longest"], "the 100 ms budget", 0.100, 1));
#else
    (void)c;
    (void)rows;
#endif
}

// A plain memmem over every cell: the floor of any search of the cells.
double ScanCells(const TJFILE& db, const std::string& text)
{
    size_t hits = 0;
    double seconds = Best(
        [&] {
            hits = 0;
            for (int r = 1; r <= db.RecordCount(); ++r)
                for (int f = 1; f <= db.FieldCount(); ++f) {
                    const std::string_view cell = db.CellView(r, f);
                    hits += ::memmem(cell.data(), cell.size(), text.data(), text.size()) != nullptr;
                }
        },
        {}, 5);
    std::printf("memmem scan: %zu cells hold \"%s\"\n", hits, text.c_str());
    return seconds;
}

void AddFind(const Context& c, std::vector<Row>& rows)
{
    std::unique_ptr<TJFILE> db = Open(c.copy);
    const std::vector<bool> all(size_t(db->FieldCount()), true);
    // No cell holds a "z": every cell is searched to its end.
    const double scan = ScanCells(*db, "zulu");
    const double finding = Best([&] { FindRecords(*db, "ZULU", false, all, false); });
    rows.push_back(TimeRow("find in 50 fields, any case", finding, "memmem scan of the cells", scan, 3));

    TReplaceOptions options;
    options.SearchFor = "lima";
    options.ReplaceWith = "Lima";
    options.FieldFlags = all;
    options.Prompt = false;
    const double baseline = ScanCells(*db, "lima");
    const double replacing = Best([&] { ReplaceText(*db, options, {}); },
                                  [&] {
                                      db.reset();
                                      db = Open(c.copy);
                                  },
                                  2);
    rows.push_back(TimeRow("replace all, no prompt", replacing, "memmem scan of the cells", baseline, 5));
}

void AddFilterRow(const Context& c, std::vector<Row>& rows)
{
    std::unique_ptr<TJFILE> db = Open(c.copy);
    const int n = db->RecordCount();
    std::vector<uint8_t> flags(static_cast<size_t>(n));
    // One text box against Find of the same text in that one field.
    std::vector<bool> first(size_t(db->FieldCount()), false);
    first[0] = true;
    const double finding = Best([&] { FindRecords(*db, "ZULU", false, first, false); }, {}, 5);
    const TRecordFilter text(*db, {{1, "zulu"}});
    const double filtering = Best([&] { FilterRecords(*db, text, 1, n, flags); }, {}, 5);
    rows.push_back(TimeRow("filter row: one text box", filtering, "find of the text in its field", finding, 2));

    // A range of numbers against parsing every number of the field and comparing.
    constexpr int kNumbers = 4;  // a Float field
    size_t inRange = 0;
    const double scanning = Best(
        [&] {
            inRange = 0;
            for (int r = 1; r <= n; ++r)
                if (const std::optional<double> v = DecimalValue(db->CellView(r, kNumbers));
                    v && *v >= 100 && *v <= 5000)
                    ++inRange;
        },
        {}, 5);
    const TRecordFilter range(*db, {{kNumbers, "100..5000"}});
    const double ranging = Best([&] { FilterRecords(*db, range, 1, n, flags); }, {}, 5);
    size_t passed = 0;
    for (uint8_t f : flags)
        passed += f;
    std::printf("number range: %zu of %d records by the scan, %zu by the filter\n", inRange, n, passed);
    rows.push_back(TimeRow("filter row: a number range", ranging, "scan of the parsed numbers", scanning, 2));
}

std::vector<Row> Measure(const char* self, const fs::path& dir)
{
    // A file of its own: the benchmarks' shared file may be open in another run.
    Context c{self, dir, (dir / "large.pdb").string(), (dir / "copy.pdb").string(), 0, 0, ""};
    SaveInto(*MakeLargeDatabase(), c.path);
    fs::copy_file(c.path, c.copy);
    c.fileSize = double(fs::file_size(c.path));
    c.reading = Best([&] { ReadWholeFile(c.path); }, {}, 5);
    c.readName = "reading the file (" + Mb(c.fileSize) + ")";
    std::vector<Row> rows;
    std::unique_ptr<TJFILE> db;
    AddLoadAndSave(c, db, rows);
    AddCommandLine(c, rows);
    AddJsonInfo(c, rows);
    AddConversions(c, rows);
    AddExports(c, *db, rows);
    AddCsvImport(c, *db, rows);
    AddProcessConversions(c, *db, rows);
    AddSort(c, db, rows);
    AddExchange(c, rows);
    AddViews(rows);
    AddEditorOpen(c, rows);
    AddEditorExport(c, rows);
    AddFind(c, rows);
    AddFilterRow(c, rows);
    return rows;
}

}  // namespace

}  // namespace quorvil::bench

int main(int argc, char** argv)
{
    using namespace quorvil::bench;
    if (argc >= 3 && std::strcmp(argv[1], "--peak-of") == 0) {
        const ProcessRun run = RunProgram(std::vector<std::string>(argv + 2, argv + argc));
        std::printf("%.0f %.6f\n", run.peakBytes, run.seconds);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--open-and-exit") == 0)
        return quorvil::Open(argv[2])->RecordCount() > 0 ? 0 : 1;

    auto start = std::chrono::steady_clock::now();
    std::printf("Generating the standard large database (%d records by %d fields)...\n", kLargeRecords, kLargeFields);
    std::fflush(stdout);
    fs::path dir = fs::temp_directory_path() / ("quorvil-dashboard-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::vector<Row> rows = Measure("/proc/self/exe", dir);
    fs::remove_all(dir);
    bool met = Print(rows);
    std::printf("\nbest of %d runs each (the exports: %d, alternating with cp; the quorvil-cli rows: median of 7); "
                "total time %.0f s\n",
                kRuns, kExportRuns, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return met ? 0 : 1;
}
