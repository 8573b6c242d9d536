// CSV export of the large database beside cp copying as many bytes.
// Target: the export runs at no less than a third of cp's speed
// (counter speed_ratio >= 0.33). body_speed_ratio leaves out what makes the
// export durable (syncing the CSV file, the key-by-key settings writes), to
// show how much of the time is the formatting itself.
#include "bench_data.h"
#include "streams.h"
#include "text_writers.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quorvil::bench {

namespace {

namespace fs = std::filesystem;

template <class Work>
double SecondsOf(Work&& work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs cp on a file; false when cp cannot be run or fails.
bool RunCp(const std::string& from, const std::string& to)
{
    std::string cp = "cp";
    std::vector<char*> argv = {cp.data(), const_cast<char*>(from.c_str()), const_cast<char*>(to.c_str()), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "cp", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Times {
    double exportSeconds = 0;  // WriteCSV as the program calls it
    double bodySeconds = 0;    // the CSV text into a file, not synced
    double cpSeconds = 0;
};

void BM_CsvExportVsCp(benchmark::State& state)
{
    auto db = MakeLargeDatabase();
    std::vector<int> fields;
    for (int f = 1; f <= db->FieldCount(); ++f)
        fields.push_back(f);
    fs::path dir = fs::temp_directory_path() / ("quorvil-csv-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string csv = (dir / "export.CSV").string();
    std::string body = (dir / "body.CSV").string();
    std::string copy = (dir / "copy.CSV").string();

    Times t;
    for (auto _ : state) {
        double seconds = SecondsOf([&] { WriteCSV(*db, fields, csv); });
        state.SetIterationTime(seconds);
        t.exportSeconds += seconds;
        fs::remove(body);
        t.bodySeconds += SecondsOf([&] {
            TFileStream file(body, TFileStream::Mode::CreateOrOpen);
            WriteCSVTo(*db, fields, file);
            file.Flush();
        });
        fs::remove(copy);
        bool copied = false;
        t.cpSeconds += SecondsOf([&] { copied = RunCp(csv, copy); });
        if (!copied) {
            state.SkipWithError("cp could not be run");
            break;
        }
    }
    auto bytes = double(fs::file_size(csv));
    state.SetBytesProcessed(int64_t(double(state.iterations()) * bytes));
    state.counters["csv_MB"] = bytes / 1e6;
    state.counters["cp_ms"] = t.cpSeconds * 1e3 / double(state.iterations());
    state.counters["body_ms"] = t.bodySeconds * 1e3 / double(state.iterations());
    state.counters["speed_ratio"] = t.cpSeconds / t.exportSeconds;
    state.counters["body_speed_ratio"] = t.cpSeconds / t.bodySeconds;
    fs::remove_all(dir);
}
BENCHMARK(BM_CsvExportVsCp)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

}  // namespace quorvil::bench
