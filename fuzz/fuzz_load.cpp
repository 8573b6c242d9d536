// Loading arbitrary bytes: an error is fine, a crash, hang or huge allocation is not.
#include "errors.h"
#include "jfile.h"

#include <algorithm>
#include <cstdint>
#include <vector>

constexpr int kShownRecords = 2000;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quorvil::TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    quorvil::TJFILE db;
    try {
        db.LoadFrom(stream);
        // A tiny file may claim 65535 records (a record list cut short reads
        // as empty records); the first ones and the last show every cell kind
        // without spending seconds per input on the same empty cells.
        auto show = [&db](int r) {
            for (int f = 1; f <= db.FieldCount(); ++f)
                (void)db.GetDisplayCell(r, f);
        };
        const int last = db.RecordCount();
        for (int r = 1; r <= std::min(last, kShownRecords); ++r)
            show(r);
        if (last > kShownRecords)
            show(last);
    } catch (const quorvil::EEngineError&) {
    }
    return 0;
}
