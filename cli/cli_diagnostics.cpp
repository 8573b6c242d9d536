#include "cli_diagnostics.h"

#include "jfile.h"

#include <ostream>

namespace quorvil {

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

void Warn(std::ostream& err, const std::string& text)
{
    if (!text.empty())
        err << "quorvil-cli: " << OneLine(text) << "\n";
}

std::unique_ptr<TJFILE> OpenToRead(const std::string& fileName, std::ostream& err)
{
    auto db = OpenReadOnly(fileName);
    Warn(err, db->LoadWarning());
    return db;
}

}  // namespace quorvil
