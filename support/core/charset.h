#pragma once
// Character sets of databases as Unicode. Cell texts stay bytes everywhere;
// a set only says how those bytes become characters for people and for
// other programs. Windows-1252 is the handheld's Western set and the default.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvil {

// The code point of a Windows-1252 byte; the five undefined bytes map to
// the C1 controls of the same number so that every byte survives.
char32_t Cp1252ToUnicode(unsigned char byte);
// The byte of a code point, or -1 when Windows-1252 has none.
int UnicodeToCp1252(char32_t cp);
std::string Cp1252ToUtf8(std::string_view bytes);

// How far a UTF-8 text went into Windows-1252.
struct TUtf8ToCp1252 {
    size_t Size = 0;  // the bytes written
    // Where the text stopped: the offset of the first character Windows-1252
    // has no byte for, or of the first bytes that are not UTF-8; npos when
    // it went in whole.
    size_t StopAt = std::string_view::npos;
    size_t StopLength = 0;  // the bytes of that character or broken sequence
    char32_t Missing = 0;   // that character; 0 for bytes that are not UTF-8
    bool Whole() const { return StopAt == std::string_view::npos; }
};
// Writes the Windows-1252 bytes of `utf8` to `out`, which has room for
// utf8.size() bytes and may be utf8.data() itself (no character gets longer).
// Stops, never replacing, at a character the set has no byte for and at
// bytes that are not UTF-8: overlong forms, surrogates, code points above
// U+10FFFF, stray or missing continuation bytes. U+0081, U+008D, U+008F,
// U+0090 and U+009D give the undefined bytes of the same number, as
// Cp1252ToUnicode maps them.
TUtf8ToCp1252 Utf8ToCp1252(std::string_view utf8, char* out);

// Appends the UTF-8 of a code point.
void AppendUtf8(std::string& out, char32_t cp);
// The code point that starts at `at` of UTF-8 text and its length; none for
// bytes that are not well-formed UTF-8 (the length then covers the bytes
// before the first one that breaks the sequence).
std::pair<size_t, std::optional<char32_t>> DecodeUtf8(std::string_view text, size_t at);

inline bool IsPrivateUse(char32_t cp)
{
    return (cp >= 0xE000 && cp <= 0xF8FF) || cp >= 0xF0000;
}

// What a text's bytes are: all below hex 80, well-formed UTF-8 with some
// above, or neither (Windows-1252, say).
enum class TTextBytes { Ascii, Utf8, Other };
TTextBytes ClassifyBytes(std::string_view bytes);

enum class TCharset : uint8_t {
    Windows1252,
    Windows1250,
    Windows1251,
    Windows1253,
    Windows1254,
    Windows1257,
    ShiftJis,  // code page 932
    Gbk,       // code page 936
    Big5,      // code page 950
    EucKr,     // code page 949, a superset of EUC-KR
};

// Every set, in the order menus list them.
std::span<const TCharset> AllCharsets();
// The IANA name ("windows-1250", "shift_jis"), as options and the INI write it.
std::string_view CharsetName(TCharset set);
// The name people read ("Windows-1250", "Shift-JIS").
std::string_view CharsetCaption(TCharset set);
// The set of an IANA name, case ignored; none for an unknown name.
std::optional<TCharset> CharsetByName(std::string_view name);
bool IsMultiByte(TCharset set);

// A byte that begins no character of its set shows as a code point of its
// own so that it survives the round trip: hex 80..9F of a single-byte set as
// the C1 control of the same number (as Windows does), any other such byte
// as kStrayByteBase + byte, a private-use code point no set maps.
constexpr char32_t kStrayByteBase = 0x10FF00;

// The tables of one set, asked of the platform's converter once and then
// read for every character. Thread-safe once made.
class TCodec {
public:
    static const TCodec& Of(TCharset set);
    TCharset Set() const { return set_; }

    // The length in bytes (1 or 2) of the character that starts at `at`; a
    // stray byte is 1.
    size_t CharLength(std::string_view bytes, size_t at) const;
    // The code point of the character at `at`, and its length.
    char32_t Decode(std::string_view bytes, size_t at, size_t* length) const;
    // The bytes of `cp` in `out` and their count, 0 when the set has none.
    // Only characters the set reads back as `cp` are written, never an
    // approximation; a stray-byte code point gives its byte back.
    size_t Encode(char32_t cp, char out[2]) const;
    // The upper case of a single-byte character; a byte of a two-byte one
    // must never be passed. Itself when the set has no byte for its upper
    // case.
    char UpperByte(char c) const { return char(upper_[uint8_t(c)]); }
    bool IsLeadByte(char c) const { return lead_[uint8_t(c)]; }
    // Whether the two bytes are a character of the set (not a stray lead).
    bool IsPair(char lead, char trail) const;
    // The set's character for the bytes, without stray-byte stand-ins: none
    // when they are not a character of the set.
    std::optional<char32_t> Defined(std::string_view bytes, size_t at, size_t* length) const;

    struct TTables;
    explicit TCodec(TCharset set);
    ~TCodec();

private:
    TCharset set_;
    unsigned char upper_[256];
    bool lead_[256];
    std::unique_ptr<TTables> tables_;
};

// The bytes of `set` as UTF-8 and UTF-16; every byte survives.
std::string CharsetToUtf8(TCharset set, std::string_view bytes);
std::u16string CharsetToUtf16(TCharset set, std::string_view bytes);

// How far a Unicode text went into a set's bytes.
struct TToCharset {
    std::string Bytes;  // written before the stop
    // Where the text stopped: the offset (in the input's units) of the first
    // character the set has no bytes for, or of the first units that are
    // not UTF-8 / UTF-16; npos when it went in whole.
    size_t StopAt = std::string_view::npos;
    size_t StopLength = 0;
    char32_t Missing = 0;  // that character; 0 for broken input
    bool Whole() const { return StopAt == std::string_view::npos; }
};
// Stops, never replacing, at a character the set lacks and at input that
// is not well-formed.
TToCharset Utf8ToCharset(TCharset set, std::string_view utf8);
TToCharset Utf16ToCharset(TCharset set, std::u16string_view utf16);

// The refusal of a text that did not go in whole, in UTF-8: "'Ł' cannot be
// stored in a Windows-1252 database; choose the database's character set in
// View > Character set", or, for input that is not well-formed, that it
// holds a broken character.
std::string RefusalText(const TToCharset& stop, TCharset set);

// Upper-cases the single-byte characters of `text` in place, leaving every
// byte of a two-byte character as it is.
void UpperCaseIn(TCharset set, std::string& text);

// Which multi-byte set a database's texts seem to be written in. Texts that
// read as plausible Windows-1252 give none; so do texts that two sets read
// equally well. Fed every text once; linear in their size.
class TCharsetGuess {
public:
    TCharsetGuess();
    void Add(std::string_view text);
    std::optional<TCharset> Result() const;
    // Whether Result() is none whatever texts follow (no multi-byte set
    // reads the texts so far), so that a caller may stop feeding it.
    bool Settled() const;

    // Only the counts that tell Western text, a quick first pass: when all
    // texts read as plausible Windows-1252 there is nothing to suggest,
    // and no multi-byte set need read them (accented Western words are
    // valid two-byte characters in GBK, so it would read all of them).
    void AddWestern(std::string_view text);
    bool Western() const;

private:
    // Counts the Windows-1252 facts of a text; whether it has a byte of the
    // upper half.
    bool CountWestern(std::string_view text);
    static constexpr int kSets = 4;  // the multi-byte sets
    struct TSetScore {
        bool Valid = true;
        uint64_t Pairs = 0;  // two-byte characters read
        uint64_t Hits = 0;   // of them, characters frequent in the set's language
    };
    uint64_t high_ = 0;       // bytes at hex 80 and above
    uint64_t letters_ = 0;    // of them, letters of Windows-1252
    uint64_t undefined_ = 0;  // of them, bytes Windows-1252 leaves undefined
    uint64_t longRuns_ = 0;   // of them, bytes in runs of three or more
    TSetScore scores_[kSets];
};

}  // namespace quorvil
