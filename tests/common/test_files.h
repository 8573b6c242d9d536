#pragma once
// Files for tests: a private temporary directory and whole-file reads and
// writes.
#include <cstdint>
#include <string>
#include <vector>

namespace quorvil::testkit {

// A fresh directory, removed with its contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::string operator/(const std::string& name) const { return File(name); }
    // Names of the entries in the directory, sorted.
    std::vector<std::string> Entries() const;

private:
    std::string path_;
};

// The folder tests/data: QUORVIL_TEST_DATA, or the source tree's.
std::string TestDataDir();

std::vector<uint8_t> ReadBytes(const std::string& path);
// The file's bytes, or "<cannot read PATH>", which matches no other file.
std::string ReadText(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);

}  // namespace quorvil::testkit
