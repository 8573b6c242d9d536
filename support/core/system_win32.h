#pragma once
// Shared by the Win32 implementations only: UTF-8 names to and from the
// system's UTF-16, and its errors as errno values.
#include <string>
#include <string_view>

namespace quorvil::sys::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
// The errno value of a GetLastError() code; kInUse for a sharing or lock
// violation.
int ErrnoOf(unsigned long systemError);

}  // namespace quorvil::sys::win32
