#pragma once
// File-name helpers. Paths use the platform's directory separator ("/" here).
#include <string>

namespace quorvil {

// Appends "." and up to three characters of `ext` when the file-name part of
// `name` contains no ".".
std::string DefaultExtension(const std::string& name, const std::string& ext);
// Replaces the extension of `name` with "." and up to three characters of `ext`.
std::string ForceExtension(const std::string& name, const std::string& ext);
// Adds a trailing separator to a non-empty path without one.
std::string AddBackslash(const std::string& path);
// Removes a trailing separator, except from a root such as "/".
std::string RemoveBackslash(const std::string& path);

}  // namespace quorvil
