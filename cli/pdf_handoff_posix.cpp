#include "pdf_handoff.h"

#include "cli_diagnostics.h"
#include "file_system.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <unistd.h>

namespace quorvil {

namespace {

constexpr const char* kHelper = "quorvil-cli-pdf";

}  // namespace

bool IsPdfExport(int argc, char** argv)
{
    return argc >= 3 && std::strcmp(argv[1], "export") == 0 && std::strcmp(argv[2], "pdf") == 0;
}

int HandOffPdfExport(char** argv, const char* helperDir, std::ostream& err)
{
    namespace fs = std::filesystem;
    // Beside the program in the build tree; installed, in the helpers' folder.
    const fs::path dir = ProgramDir();
    fs::path helper = dir / kHelper;
    std::error_code ec;
    if (!fs::exists(helper, ec))
        helper = (dir / helperDir / kHelper).lexically_normal();
    ::execv(helper.c_str(), argv);
    Warn(err, "The PDF export needs " + helper.string() + ", which cannot be started: " + std::strerror(errno) + ".");
    return 1;
}

}  // namespace quorvil
