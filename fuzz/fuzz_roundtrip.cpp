// Load, save, load again: the second load gives the same definitions and
// cells as the first, apart from the writer's documented cut of long texts.
#include "errors.h"
#include "jfile.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void Compare(const quorvil::TJFILE& a, const quorvil::TJFILE& b)
{
    const size_t longest = quorvil::Facts(a.Layout()).LongestValue;
    Check(a.Layout() == b.Layout() && a.PdbHeader.Name == b.PdbHeader.Name);
    Check(a.RecordCount() == b.RecordCount() && a.FieldCount() == b.FieldCount());
    for (int f = 1; f <= a.FieldCount(); ++f) {
        Check(a.GetFieldName(f) == b.GetFieldName(f));
        Check(a.GetFieldType(f) == b.GetFieldType(f));
        Check(a.GetColumnWidth(f) == b.GetColumnWidth(f));
        Check(a.PopupCount(f) == b.PopupCount(f));
        for (int k = 1; k <= a.PopupCount(f); ++k)
            Check(a.GetPopupItem(f, k) == b.GetPopupItem(f, k));
    }
    for (int f = 1; f <= 50; ++f)
        Check(a.GetDefault(f) == b.GetDefault(f));
    for (int s = 1; s <= 5; ++s) {
        Check(a.GetSavedSortName(s) == b.GetSavedSortName(s));
        if (!a.GetSavedSortName(s).empty())
            for (int k = 1; k <= 3; ++k)
                Check(a.GetSavedSortField(s, k) == b.GetSavedSortField(s, k));
        if (!a.GetFilter(s).FilterName.empty())
            Check(a.GetFilter(s) == b.GetFilter(s));
    }
    Check(a.Category() == b.Category() && a.ReadOnly() == b.ReadOnly());
    Check(a.FindText() == b.FindText() && a.FilterText() == b.FilterText());
    for (int r = 1; r <= a.RecordCount(); ++r)
        for (int f = 1; f <= a.FieldCount(); ++f)
            Check(a.CellView(r, f).substr(0, longest) == b.CellView(r, f));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quorvil::TMemoryStream input(std::vector<uint8_t>(data, data + size));
    quorvil::TJFILE first;
    try {
        first.LoadFrom(input);
    } catch (const quorvil::EEngineError&) {
        return 0;
    }
    quorvil::TMemoryStream saved;
    first.Save(saved);
    saved.Seek(0);
    quorvil::TJFILE second;
    second.LoadFrom(saved);
    // Save changed new types in memory; reload the first image to compare like with like.
    input.Seek(0);
    quorvil::TJFILE again;
    again.LoadFrom(input);
    Compare(again, second);
    return 0;
}
