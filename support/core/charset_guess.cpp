#include "charset.h"

#include <array>
#include <cstring>

namespace quorvil {

namespace {

constexpr TCharset kMultiByte[] = {TCharset::ShiftJis, TCharset::Gbk, TCharset::Big5, TCharset::EucKr};

// Characters frequent in each set's language (the commonest words, names and
// particles), to tell sets apart that all read a text without error: the
// same two bytes are a common character in one set and a rare one in the
// others. Japanese is told by its kana instead.
constexpr std::u32string_view kFrequent[] = {
    U"",
    U"的一是不了在人有我他这个们中来上大为和国地到以说时要就出会可也你对生能而子那得于着下自之年过发后作里用道行所然家"
    U"种事成方多经么去"
    U"法学如都同现当没动面起看定天分还进好小部其些主样理心公司号路市区省电话王李张刘陈杨黄赵吴周",
    U"的一是不了在人有我他這個們中來上大為和國地到以說時要就出會可也你對生能而子那得於著下自之年過發後作裡用道行所然家"
    U"種事成方多經麼去"
    U"法學如都同現當沒動面起看定天分還進好小部其些主樣理心公司號路市區省電話王李張劉陳楊黃趙吳周",
    U"이다는의에하고가을지기로사한서를리대정도자적일시수인있나어주제전부장보국것들아게구해원과우김박최강조윤임동성민영"
    U"호"
    U"서울시번길",
};

// kFrequent as one bit per character of the Basic Multilingual Plane,
// where all of them are: a look-up per two-byte character, not a search.
class TFrequentBits {
public:
    TFrequentBits()
    {
        for (int s = 0; s < 4; ++s)
            for (const char32_t cp : kFrequent[s])
                bits_[s][cp >> 6] |= uint64_t(1) << (cp & 63);
    }
    bool Has(int set, char32_t cp) const { return cp < 0x10000 && (bits_[set][cp >> 6] >> (cp & 63) & 1) != 0; }

private:
    uint64_t bits_[4][0x10000 / 64] = {};
};

const TFrequentBits& Frequent()
{
    static const TFrequentBits bits;
    return bits;
}

// Whether every byte below hex 80 is, in the multi-byte set s, the ASCII
// character of its number: no lead byte is below hex 80, so such a byte is
// then a character of its own wherever it stands.
bool AsciiPlain(int s)
{
    static const std::array<bool, 4> plain = [] {
        std::array<bool, 4> all{};
        for (int k = 0; k < 4; ++k) {
            const TCodec& codec = TCodec::Of(kMultiByte[k]);
            all[size_t(k)] = true;
            for (int b = 0; b < 0x80; ++b) {
                const char byte = char(b);
                size_t length = 1;
                const std::optional<char32_t> cp = codec.Defined(std::string_view(&byte, 1), 0, &length);
                all[size_t(k)] = all[size_t(k)] && cp && *cp < 0x80;
            }
        }
        return all;
    }();
    return plain[size_t(s)];
}

bool IsKana(char32_t cp)
{
    return (cp >= 0x3041 && cp <= 0x30FA) || (cp >= 0xFF66 && cp <= 0xFF9D);
}

// Letters among Windows-1252's upper half: Š Œ Ž š œ ž Ÿ and À..ÿ but for
// the multiplication and division signs.
bool IsLetter1252(uint8_t b)
{
    switch (b) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F: return true;
    default: return b >= 0xC0 && b != 0xD7 && b != 0xF7;
    }
}

bool IsUndefined1252(uint8_t b)
{
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

}  // namespace

TCharsetGuess::TCharsetGuess() = default;

bool TCharsetGuess::CountWestern(std::string_view text)
{
    size_t run = 0;  // high bytes in a row so far
    bool any = false;
    for (size_t at = 0; at < text.size(); ++at) {
        // Eight bytes at a time through the ASCII that most texts mostly are.
        if (run == 0 && text.size() - at >= 8) {
            uint64_t word;
            std::memcpy(&word, text.data() + at, 8);
            if ((word & 0x8080808080808080u) == 0) {
                at += 7;
                continue;
            }
        }
        const auto b = uint8_t(text[at]);
        if (b < 0x80) {
            run = 0;
            continue;
        }
        any = true;
        ++high_;
        letters_ += IsLetter1252(b);
        undefined_ += IsUndefined1252(b);
        // Western words hold a letter or two from the upper half between
        // plain ones; runs of three or more are the texts of other sets.
        if (++run == 3)
            longRuns_ += 3;
        else if (run > 3)
            ++longRuns_;
    }
    return any;
}

void TCharsetGuess::AddWestern(std::string_view text)
{
    CountWestern(text);
}

bool TCharsetGuess::Western() const
{
    return undefined_ == 0 && letters_ * 10 >= high_ * 6 && longRuns_ * 10 < high_ * 3;
}

void TCharsetGuess::Add(std::string_view text)
{
    if (Settled() || !CountWestern(text))
        return;
    for (int s = 0; s < kSets; ++s) {
        TSetScore& score = scores_[s];
        if (!score.Valid)
            continue;
        const TCodec& codec = TCodec::Of(kMultiByte[s]);
        const bool asciiPlain = AsciiPlain(s);
        for (size_t at = 0; at < text.size();) {
            if (asciiPlain && uint8_t(text[at]) < 0x80) {
                ++at;  // a character of its own that changes no score
                continue;
            }
            size_t length = 1;
            const std::optional<char32_t> cp = codec.Defined(text, at, &length);
            // Code page 932 on Windows reads some bytes as C1 controls or
            // private use, which no text holds.
            if (!cp || IsPrivateUse(*cp) || (*cp >= 0x80 && *cp < 0xA0)) {
                score.Valid = false;
                break;
            }
            if (length == 2) {
                ++score.Pairs;
                score.Hits += s == 0 ? IsKana(*cp) : Frequent().Has(s, *cp);
            } else if (*cp >= 0x80) {
                score.Hits += s == 0 && IsKana(*cp);
            }
            at += length;
        }
    }
}

bool TCharsetGuess::Settled() const
{
    for (const TSetScore& score : scores_)
        if (score.Valid)
            return false;
    return true;
}

std::optional<TCharset> TCharsetGuess::Result() const
{
    if (Western())
        return std::nullopt;
    int valid = 0, best = -1, ties = 0;
    for (int s = 0; s < kSets; ++s) {
        const TSetScore& score = scores_[s];
        if (!score.Valid || (score.Pairs == 0 && score.Hits == 0))
            continue;
        ++valid;
        if (best < 0 || score.Hits > scores_[best].Hits) {
            best = s;
            ties = 0;
        } else if (score.Hits == scores_[best].Hits) {
            ++ties;
        }
    }
    if (valid == 1)
        return kMultiByte[best];
    if (valid > 1 && ties == 0 && scores_[best].Hits > 0)
        return kMultiByte[best];
    return std::nullopt;
}

}  // namespace quorvil
