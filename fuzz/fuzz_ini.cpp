// Reading an arbitrary INI (.DEF) file and writing one key into it: no crash,
// the key reads back, and every other key reads as it did before.
#include "ini_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/quorvil_fuzz_ini_" + std::to_string(getpid()) + ".DEF";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    std::string before;
    {
        quorvil::TIniFile ini(path);
        before = ini.ReadString("JFilePro", "Title", "?");
        (void)ini.ReadString("jfilepro", "Widths");
    }
    bool written;
    {
        quorvil::TIniFile ini(path);
        written = ini.WriteString("JFilePro", "Sort", "1,2,3");
    }
    quorvil::TIniFile again(path);
    if (written && again.ReadString("JFILEPRO", "sort") != "1,2,3")
        std::abort();
    if (written && again.ReadString("JFilePro", "Title", "?") != before)
        std::abort();
    std::remove(path.c_str());
    return 0;
}
