#include "charset.h"
#include "system_charset.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace quorvil {

namespace {

struct TSetInfo {
    TCharset Set;
    std::string_view Name;
    std::string_view Caption;
    const char* IconvName;
    unsigned CodePage;
    bool MultiByte;
};

constexpr TSetInfo kSets[] = {
    {TCharset::Windows1252, "windows-1252", "Windows-1252", "CP1252", 1252, false},
    {TCharset::Windows1250, "windows-1250", "Windows-1250", "CP1250", 1250, false},
    {TCharset::Windows1251, "windows-1251", "Windows-1251", "CP1251", 1251, false},
    {TCharset::Windows1253, "windows-1253", "Windows-1253", "CP1253", 1253, false},
    {TCharset::Windows1254, "windows-1254", "Windows-1254", "CP1254", 1254, false},
    {TCharset::Windows1257, "windows-1257", "Windows-1257", "CP1257", 1257, false},
    // The Windows code pages, not the strict standards: they are what the
    // handhelds' desktop software wrote (0x5C is a backslash in code page
    // 932, and 949 adds the Hangul that EUC-KR lacks).
    {TCharset::ShiftJis, "shift_jis", "Shift-JIS", "CP932", 932, true},
    {TCharset::Gbk, "gbk", "GBK", "CP936", 936, true},
    {TCharset::Big5, "big5", "Big5", "CP950", 950, true},
    {TCharset::EucKr, "euc-kr", "EUC-KR", "CP949", 949, true},
};
constexpr size_t kSetCount = std::size(kSets);

constexpr std::array<TCharset, kSetCount> kAllSets = [] {
    std::array<TCharset, kSetCount> all{};
    for (size_t i = 0; i < kSetCount; ++i)
        all[i] = kSets[i].Set;
    return all;
}();

const TSetInfo& Info(TCharset set)
{
    return kSets[size_t(set)];
}

uint16_t PairKey(char lead, char trail)
{
    return uint16_t(uint8_t(lead) << 8 | uint8_t(trail));
}

}  // namespace

std::span<const TCharset> AllCharsets()
{
    return kAllSets;
}

std::string_view CharsetName(TCharset set)
{
    return Info(set).Name;
}

std::string_view CharsetCaption(TCharset set)
{
    return Info(set).Caption;
}

std::optional<TCharset> CharsetByName(std::string_view name)
{
    for (const TSetInfo& info : kSets)
        if (std::ranges::equal(name, info.Name,
                               [](char a, char b) { return (a >= 'A' && a <= 'Z' ? char(a + 32) : a) == b; }))
            return info.Set;
    return std::nullopt;
}

bool IsMultiByte(TCharset set)
{
    return Info(set).MultiByte;
}

struct TCodec::TTables {
    char32_t Single[256] = {};
    bool Stray[256] = {};                           // a byte that is no character alone (nor a lead)
    std::vector<char32_t> Pairs;                    // by lead << 8 | trail; 0 for none
    std::unordered_map<char32_t, uint16_t> Encode;  // a single byte below 256, else lead << 8 | trail
};

TCodec::TCodec(TCharset set) : set_(set), tables_(std::make_unique<TTables>())
{
    const TSetInfo& info = Info(set);
    const sys::TCharsetConverter converter(info.IconvName, info.CodePage);
    TTables& t = *tables_;
    std::memset(lead_, 0, sizeof lead_);
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const std::optional<char32_t> cp = converter.Available() ? converter.Decode({&byte, 1}) : std::nullopt;
        if (cp) {
            t.Single[b] = *cp;
        } else if (!info.MultiByte && b >= 0x80 && b < 0xA0) {
            t.Single[b] = char32_t(b);  // Windows shows undefined bytes as the C1 controls
            t.Stray[b] = true;
        } else {
            t.Single[b] = kStrayByteBase + char32_t(b);
            t.Stray[b] = true;
        }
    }
    if (!converter.Available() && !info.MultiByte) {
        for (int b = 0; b < 128; ++b)
            t.Single[b] = char32_t(b), t.Stray[b] = false;
    }
    std::unordered_map<char32_t, std::vector<uint16_t>> sources;
    if (info.MultiByte && converter.Available()) {
        t.Pairs.assign(65536, 0);
        for (int lead = 0x80; lead < 256; ++lead) {
            if (!t.Stray[lead])
                continue;
            for (int trail = 0x30; trail < 256; ++trail) {
                const char bytes[2] = {char(lead), char(trail)};
                const std::optional<char32_t> cp = converter.Decode({bytes, 2});
                if (!cp || *cp == 0)
                    continue;
                t.Pairs[PairKey(bytes[0], bytes[1])] = *cp;
                sources[*cp].push_back(PairKey(bytes[0], bytes[1]));
                lead_[lead] = true;
            }
        }
    }
    for (int b = 0; b < 256; ++b)
        if (!t.Stray[b] || (!info.MultiByte && b >= 0x80 && b < 0xA0))
            sources[t.Single[b]].insert(sources[t.Single[b]].begin(), uint16_t(b));
    // Where several byte sequences read as one character, write the one the
    // platform's converter writes, as every other program would.
    for (auto& [cp, list] : sources) {
        uint16_t chosen = list.front();
        if (list.size() > 1) {
            const std::string bytes = converter.Encode(cp);
            const uint16_t key = bytes.size() == 1   ? uint16_t(uint8_t(bytes[0]))
                                 : bytes.size() == 2 ? PairKey(bytes[0], bytes[1])
                                                     : chosen;
            if (std::ranges::find(list, key) != list.end())
                chosen = key;
        }
        t.Encode.emplace(cp, chosen);
    }
    for (int b = 0; b < 256; ++b) {
        upper_[b] = uint8_t(b);
        if (t.Stray[b] || lead_[b])
            continue;
        const char32_t up = sys::UpperCodePoint(t.Single[b]);
        const auto it = up == t.Single[b] ? t.Encode.end() : t.Encode.find(up);
        if (it != t.Encode.end() && it->second < 256)
            upper_[b] = uint8_t(it->second);
    }
}

TCodec::~TCodec() = default;

const TCodec& TCodec::Of(TCharset set)
{
    // Made on first use: asking the converter for every pair of a
    // multi-byte set takes some milliseconds.
    static std::once_flag once[kSetCount];
    static std::unique_ptr<TCodec> codecs[kSetCount];
    const size_t i = size_t(set);
    std::call_once(once[i], [&] { codecs[i] = std::make_unique<TCodec>(set); });
    return *codecs[i];
}

bool TCodec::IsPair(char lead, char trail) const
{
    return lead_[uint8_t(lead)] && tables_->Pairs[PairKey(lead, trail)] != 0;
}

size_t TCodec::CharLength(std::string_view bytes, size_t at) const
{
    return at + 1 < bytes.size() && IsPair(bytes[at], bytes[at + 1]) ? 2 : 1;
}

char32_t TCodec::Decode(std::string_view bytes, size_t at, size_t* length) const
{
    if (at + 1 < bytes.size() && IsPair(bytes[at], bytes[at + 1])) {
        *length = 2;
        return tables_->Pairs[PairKey(bytes[at], bytes[at + 1])];
    }
    *length = 1;
    const auto b = uint8_t(bytes[at]);
    return lead_[b] ? kStrayByteBase + b : tables_->Single[b];
}

std::optional<char32_t> TCodec::Defined(std::string_view bytes, size_t at, size_t* length) const
{
    const char32_t cp = Decode(bytes, at, length);
    if (*length == 1 && (tables_->Stray[uint8_t(bytes[at])] || lead_[uint8_t(bytes[at])]))
        return std::nullopt;
    return cp;
}

size_t TCodec::Encode(char32_t cp, char out[2]) const
{
    if (cp >= kStrayByteBase + 0x80 && cp <= kStrayByteBase + 0xFF) {
        const auto b = uint8_t(cp - kStrayByteBase);
        if (!tables_->Stray[b] && !lead_[b])
            return 0;
        out[0] = char(b);
        return 1;
    }
    if (cp < 0x80 && tables_->Single[cp] == cp && !tables_->Stray[cp]) {
        out[0] = char(cp);
        return 1;
    }
    const auto it = tables_->Encode.find(cp);
    if (it == tables_->Encode.end())
        return 0;
    if (it->second < 256) {
        out[0] = char(it->second);
        return 1;
    }
    out[0] = char(it->second >> 8);
    out[1] = char(it->second & 0xFF);
    return 2;
}

namespace {

void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(char16_t(cp));
    } else {
        cp -= 0x10000;
        out.push_back(char16_t(0xD800 + (cp >> 10)));
        out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    }
}

template <class TOut, class TAppend>
TOut Convert(TCharset set, std::string_view bytes, TAppend append)
{
    const TCodec& codec = TCodec::Of(set);
    TOut out;
    out.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        size_t length = 1;
        append(out, codec.Decode(bytes, at, &length));
        at += length;
    }
    return out;
}

std::pair<size_t, std::optional<char32_t>> NextUtf16(std::u16string_view text, size_t at)
{
    const char16_t unit = text[at];
    if (unit < 0xD800 || unit > 0xDFFF)
        return {1, unit};
    if (unit < 0xDC00 && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF)
        return {2, 0x10000 + (char32_t(unit - 0xD800) << 10) + (text[at + 1] - 0xDC00)};
    return {1, std::nullopt};
}

template <class TView, class TNext>
TToCharset ToCharset(TCharset set, TView text, TNext next)
{
    const TCodec& codec = TCodec::Of(set);
    TToCharset result;
    result.Bytes.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const auto [length, cp] = next(text, at);
        char bytes[2];
        const size_t n = cp ? codec.Encode(*cp, bytes) : 0;
        if (n == 0) {
            result.StopAt = at;
            result.StopLength = length;
            result.Missing = cp.value_or(0);
            return result;
        }
        result.Bytes.append(bytes, n);
        at += length;
    }
    return result;
}

}  // namespace

std::string CharsetToUtf8(TCharset set, std::string_view bytes)
{
    return Convert<std::string>(set, bytes, AppendUtf8);
}

std::u16string CharsetToUtf16(TCharset set, std::string_view bytes)
{
    return Convert<std::u16string>(set, bytes, AppendUtf16);
}

TToCharset Utf8ToCharset(TCharset set, std::string_view utf8)
{
    return ToCharset(set, utf8, DecodeUtf8);
}

TToCharset Utf16ToCharset(TCharset set, std::u16string_view utf16)
{
    return ToCharset(set, utf16, NextUtf16);
}

std::string RefusalText(const TToCharset& stop, TCharset set)
{
    if (stop.Missing == 0)
        return "The text holds a broken character, which cannot be stored; type it again";
    std::string character;
    AppendUtf8(character, stop.Missing);
    return "'" + character + "' cannot be stored in a " + std::string(CharsetCaption(set)) +
           " database; choose the database's character set in View > Character set";
}

void UpperCaseIn(TCharset set, std::string& text)
{
    const TCodec& codec = TCodec::Of(set);
    for (size_t at = 0; at < text.size();) {
        const size_t length = codec.CharLength(text, at);
        if (length == 1)
            text[at] = codec.UpperByte(text[at]);
        at += length;
    }
}

}  // namespace quorvil
