#pragma once
// An INI file with the semantics of the Windows private-profile functions:
// section and key names compare without regard to case, values are written as
// key=value, a missing key reads as the default, and sections, keys and
// comments that are not touched stay in the file.
#include <memory>
#include <string>
#include <vector>

namespace quorvil {

struct TIniEntry {
    std::string Section;
    std::string Key;
    std::string Value;
};

class TIniFile {
public:
    // Reads the file now; a missing file reads as empty. With
    // createDirectory, a write also creates the missing parent directories.
    explicit TIniFile(std::string fileName, bool createDirectory = false);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const std::string& FileName() const { return fileName_; }

    // The value under `key` in `section`, or `def` when either is missing.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def = "") const;

    // Writes one key through to the file at once (the file is read again
    // first, so writes of other programs are kept). The file is replaced only
    // after the new contents are complete on disk. Returns false, leaving the
    // file as it was, when the file cannot be written, when it cannot be read
    // back faithfully (unreadable, or holding NUL bytes), or when a name or
    // value would break the file's structure (a line break, "]" in a section,
    // "=" in a key or a key starting with ";", "#" or "[").
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    // Writes several keys, in order, with one replacement of the file: the
    // same result as writing them one by one, at the cost of one. Returns
    // false, leaving the file as it was, when any of them cannot be stored.
    // Without `sync` the new file is not forced to the disk before it
    // replaces the old one (still all-or-nothing for a crash of the program).
    bool WriteStrings(const std::vector<TIniEntry>& entries, bool sync = true);

private:
    struct Document;

    std::string fileName_;
    bool createDirectory_;
    std::unique_ptr<Document> doc_;
};

}  // namespace quorvil
