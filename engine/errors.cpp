#include "errors.h"

namespace quorvil {

std::string ReadOnlyFileMessage(const std::string& fileName)
{
    return "Cannot save \"" + fileName + "\": the file is read-only (it, its folder or its disk cannot be " +
           "written).";
}

std::string FormatMessage(const char* format, long long value)
{
    std::string text(format);
    size_t at = text.find("%d");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(value));
    return text;
}

}  // namespace quorvil
