#include "fuzz_support.h"

#include "field_types.h"
#include "jfile.h"
#include "save_as.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace quorvil::fuzz {

namespace {

class TScratch {
public:
    TScratch()
    {
        std::error_code ec;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, ec) || access(base.c_str(), W_OK) != 0)
            base = std::filesystem::temp_directory_path();
        dir_ = (base / ("quorvil-fuzz-" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(dir_);
    }
    ~TScratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
};

}  // namespace

void Fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: broken invariant: %s\n", file, line, what);
    std::abort();
}

const std::string& ScratchDir()
{
    static const TScratch scratch;
    return scratch.Dir();
}

std::string ScratchFile(const std::string& name)
{
    return ScratchDir() + "/" + name;
}

void WriteFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    FUZZ_CHECK(bool(out.flush()));
}

std::unique_ptr<TJFILE> SaveAndLoad(TJFILE& db, const std::string& path)
{
    WriteInLayout(db, db.Layout(), path);
    return OpenReadOnly(path);
}

void CheckSameDatabase(const TJFILE& a, const TJFILE& b)
{
    // A 5.x file cannot be told from a 5.5 one: it reads back as 5.5.
    FUZZ_CHECK(a.Layout() == b.Layout() || Facts(a.Layout()).ReadsAs == b.Layout());
    FUZZ_CHECK(a.PdbHeader.Name == b.PdbHeader.Name);
    FUZZ_CHECK(a.RecordCount() == b.RecordCount() && a.FieldCount() == b.FieldCount());
    for (int f = 1; f <= a.FieldCount(); ++f) {
        FUZZ_CHECK(a.GetFieldName(f) == b.GetFieldName(f));
        // The save changes types in memory only, after the block is
        // written: a new field becomes a String field, and a field with a
        // popup list a List field.
        const TFieldType written = b.GetFieldType(f);
        const TFieldType saved = a.PopupCount(f) > 0 ? TFieldType::List : SavedType(written);
        FUZZ_CHECK(a.GetFieldType(f) == saved);
        FUZZ_CHECK(a.GetColumnWidth(f) == b.GetColumnWidth(f));
        FUZZ_CHECK(a.PopupCount(f) == b.PopupCount(f));
        for (int k = 1; k <= a.PopupCount(f); ++k)
            FUZZ_CHECK(a.GetPopupItem(f, k) == b.GetPopupItem(f, k));
        FUZZ_CHECK(a.GetDefault(f) == b.GetDefault(f));
    }
    for (int k = 1; k <= 3; ++k)
        FUZZ_CHECK(a.GetSortField(k) == b.GetSortField(k));
    for (int s = 1; s <= 5; ++s) {
        FUZZ_CHECK(a.GetSavedSortName(s) == b.GetSavedSortName(s));
        if (!a.GetSavedSortName(s).empty())
            for (int k = 1; k <= 3; ++k)
                FUZZ_CHECK(a.GetSavedSortField(s, k) == b.GetSavedSortField(s, k));
        if (!a.GetFilter(s).FilterName.empty())
            FUZZ_CHECK(a.GetFilter(s) == b.GetFilter(s));
    }
    FUZZ_CHECK(a.Category() == b.Category() && a.ReadOnly() == b.ReadOnly());
    FUZZ_CHECK(a.FindField() == b.FindField() && a.FindText() == b.FindText());
    FUZZ_CHECK(a.FilterField() == b.FilterField() && a.FilterText() == b.FilterText());
    FUZZ_CHECK(a.FirstColumn() == b.FirstColumn());
    for (int r = 1; r <= a.RecordCount(); ++r)
        for (int f = 1; f <= a.FieldCount(); ++f)
            FUZZ_CHECK(a.CellView(r, f) == b.CellView(r, f));
}

}  // namespace quorvil::fuzz
