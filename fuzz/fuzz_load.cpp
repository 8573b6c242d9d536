// Loading arbitrary bytes: an error is fine, a crash, hang or huge allocation is not.
#include "errors.h"
#include "jfile.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quorvil::TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    quorvil::TJFILE db;
    try {
        db.LoadFrom(stream);
        for (int r = 1; r <= db.RecordCount(); ++r)
            for (int f = 1; f <= db.FieldCount(); ++f)
                (void)db.GetDisplayCell(r, f);
    } catch (const quorvil::EEngineError&) {
    }
    return 0;
}
