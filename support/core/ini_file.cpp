#include "ini_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#define SI_NO_CONVERSION
// Debian's SimpleIni.h keeps the template bodies behind this switch.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include "system_file.h"
#include "system_paths.h"

namespace quorvil {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::string_view LeftTrimmed(std::string_view line)
{
    const std::size_t start = line.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view() : line.substr(start);
}

bool IsComment(std::string_view line)
{
    const std::string_view t = LeftTrimmed(line);
    return !t.empty() && (t.front() == ';' || t.front() == '#');
}

// A line the parser keeps as a section header or a key: these are the lines
// it does not drop, so comments after the last of them need our care.
bool IsEntry(std::string_view line)
{
    const std::string_view t = LeftTrimmed(line);
    if (t.empty() || IsComment(t))
        return false;
    if (t.front() == '[')
        return t.find(']') != std::string_view::npos;
    const std::size_t eq = t.find('=');
    return eq != std::string_view::npos && eq > 0;
}

// Lines end at LF, CR LF or a lone CR. The parser breaks lines at each of
// them, so the comments kept here must too: a comment holding a lone CR
// would otherwise reach the file whole and read back as more than a comment
// (a "[" after the CR swallows the next section header).
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return lines;
}

// The comment lines of lines[from, to), with the blank lines between them.
std::string CommentBlock(const std::vector<std::string_view>& lines, std::size_t from, std::size_t to)
{
    std::string block;
    std::string pendingBlanks;
    for (std::size_t i = from; i < to; ++i) {
        if (IsComment(lines[i])) {
            block += pendingBlanks;
            pendingBlanks.clear();
            block.append(lines[i]).push_back('\n');
        } else if (IsBlank(lines[i]) && !block.empty()) {
            pendingBlanks += '\n';
        }
    }
    return block;
}

// Names that would change the meaning of the lines around them once written.
bool IsStorable(const std::string& section, const std::string& key, const std::string& value)
{
    const auto hasBreak = [](const std::string& s) {
        return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
    };
    if (hasBreak(section) || hasBreak(key) || hasBreak(value))
        return false;
    if (IsBlank(section) || section.find(']') != std::string::npos)
        return false;
    const std::string_view k = LeftTrimmed(key);
    return !k.empty() && key.find('=') == std::string::npos && k.front() != ';' && k.front() != '#' && k.front() != '[';
}

// Writes `data` to a new file beside `path` and renames it over `path`, so
// a failure at any point leaves the old file complete.
bool ReplaceFile(const std::string& path, const std::string& data, bool createDirectory, bool sync)
{
    std::error_code ec;
    fs::path target = sys::PathFromUtf8(path);
    if (fs::is_symlink(target, ec)) {
        const fs::path real = fs::weakly_canonical(target, ec);
        if (!ec)
            target = real;
    }
    if (createDirectory && target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);

    const std::string targetName = sys::Utf8FromPath(target);
    std::string temp;
    int err = 0;
    const sys::FileHandle file = sys::CreateTemporary(targetName + ".tmp", targetName, temp, err);
    if (file == sys::kNoFile)
        return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < data.size();) {
        const long long n = sys::WriteAt(file, data.data() + done, data.size() - done, done, err);
        ok = n > 0;
        done += ok ? static_cast<std::size_t>(n) : 0;
    }
    ok = ok && (!sync || sys::SyncFile(file, err));
    ok = ok && sys::ReplaceWith(file, temp, targetName, err);
    sys::CloseFile(file);
    if (!ok)
        sys::RemoveFile(temp);
    return ok;
}

// Every line of a written INI file ends in CR LF, on every platform, so
// that the files are the same bytes wherever they were written. The text
// holds no break but line ends: values refuse them and comments were split
// at them.
std::string WithCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            out += c;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        out += "\r\n";
    }
    return out;
}

// The stored spelling of an existing key, so that rewriting it keeps its case.
std::optional<std::string> StoredKeyName(const CSimpleIniA& ini, const std::string& section, const std::string& key)
{
    CSimpleIniA::TNamesDepend keys;
    if (!ini.GetAllKeys(section.c_str(), keys))
        return std::nullopt;
    const SI_NoCase<char> less;
    for (const auto& entry : keys)
        if (!less(entry.pItem, key.c_str()) && !less(key.c_str(), entry.pItem))
            return std::string(entry.pItem);
    return std::nullopt;
}

}  // namespace

struct TIniFile::Document {
    // Not UTF-8 (values are 8-bit bytes), duplicate keys kept, no multi-line values.
    CSimpleIniA ini{false, true, false};
    std::string bom;
    std::string head;  // comments of a file without any section or key
    std::string tail;  // comments after the last section or key
    bool rewritable = true;

    Document() { ini.SetSpaces(false); }

    static std::unique_ptr<Document> Load(const std::string& fileName);
    void Parse(std::string text);
    std::string Render() const;
};

void TIniFile::Document::Parse(std::string text)
{
    if (text.starts_with(kUtf8Bom)) {
        bom = kUtf8Bom;
        text.erase(0, kUtf8Bom.size());
    }
    // The parser stops at a NUL; rewriting would drop everything after it.
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        rewritable = false;
        text.resize(nul);
    }
    const std::vector<std::string_view> lines = SplitLines(text);
    std::size_t last = lines.size();
    while (last > 0 && !IsEntry(lines[last - 1]))
        --last;
    if (last == 0) {
        head = CommentBlock(lines, 0, lines.size());
        return;
    }
    std::string body;
    for (std::size_t i = 0; i < last; ++i)
        body.append(lines[i]).push_back('\n');
    tail = CommentBlock(lines, last, lines.size());
    if (ini.LoadData(body) < 0) {
        ini.Reset();
        rewritable = false;
    }
}

std::string TIniFile::Document::Render() const
{
    std::string body;
    ini.Save(body, false);
    std::string out = bom + head;
    if (!head.empty() && !body.empty())
        out += '\n';
    return WithCrLf(out + body + tail);
}

std::unique_ptr<TIniFile::Document> TIniFile::Document::Load(const std::string& fileName)
{
    auto doc = std::make_unique<Document>();
    int err = 0;
    const sys::FileHandle file = sys::OpenFile(fileName, sys::Access::Read, sys::Lock::None, false, err);
    if (file == sys::kNoFile) {
        // A missing file is an empty one; any other failure must not be
        // mistaken for it, or the next write would wipe the file.
        doc->rewritable = err == ENOENT;
        return doc;
    }
    std::string text;
    char buf[8192];
    long long n;
    while ((n = sys::ReadAt(file, buf, sizeof buf, text.size(), err)) > 0)
        text.append(buf, std::size_t(n));
    sys::CloseFile(file);
    if (n < 0) {
        doc->rewritable = false;
        return doc;
    }
    doc->Parse(std::move(text));
    return doc;
}

TIniFile::TIniFile(std::string fileName, bool createDirectory)
    : fileName_(std::move(fileName)), createDirectory_(createDirectory), doc_(Document::Load(fileName_))
{
}

TIniFile::~TIniFile() = default;

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    const char* value = doc_->ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return value ? std::string(value) : def;
}

bool TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    return WriteStrings({{section, key, value}});
}

bool TIniFile::WriteStrings(const std::vector<TIniEntry>& entries, bool sync)
{
    for (const TIniEntry& e : entries)
        if (!IsStorable(e.Section, e.Key, e.Value))
            return false;
    std::unique_ptr<Document> fresh = Document::Load(fileName_);
    if (!fresh->rewritable)
        return false;
    for (const TIniEntry& e : entries) {
        const std::string stored = StoredKeyName(fresh->ini, e.Section, e.Key).value_or(e.Key);
        if (fresh->ini.SetValue(e.Section.c_str(), stored.c_str(), e.Value.c_str(), nullptr, true) < 0)
            return false;
    }
    if (!ReplaceFile(fileName_, fresh->Render(), createDirectory_, sync))
        return false;
    doc_ = std::move(fresh);
    return true;
}

}  // namespace quorvil
