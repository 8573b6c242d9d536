#pragma once
// Reading and writing single keys of any INI file (the .DEF files), with the
// semantics of the Windows private-profile functions: section and key names
// compare without regard to case, values are written as key=value, a missing
// key reads as the default, and everything not touched stays as it was.
#include <string>

namespace quorvil {

// Writes one key; true on success. Empty section, key or file name: "none".
bool WriteProfileString(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& fileName);
// The value (at most 8192 characters, ending at its first NUL), or `def`.
std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& def,
                              const std::string& fileName);

}  // namespace quorvil
