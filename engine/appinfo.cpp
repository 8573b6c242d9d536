#include "appinfo.h"

#include "byte_io.h"
#include "streams.h"

#include <algorithm>

namespace quorvil {

namespace {

constexpr size_t kNameSize = 21;
constexpr size_t kShortTextSize = 16;

constexpr TAppInfoLayout kLayout3{
    564, Facts(TLayout::JFile3).MaxFields, true, 420, 460, 462, 464, 504, 506, 512, 514, 516, 532, 548, 550};
constexpr TAppInfoLayout kLayout4{
    1702, Facts(TLayout::JFilePro4).MaxFields, true, 1050, 1150, 1152, 1154, 1254, 1256, 1262, 1264, 1266, 1282, 1298,
    1300};
// The 5.x blocks: the Pro 4.x offsets with widths kept as they are given.
constexpr TAppInfoLayout kLayout5 = [] {
    TAppInfoLayout layout = kLayout4;
    layout.UnsignedWidths = false;
    return layout;
}();

constexpr size_t kExtraText3 = 552;
constexpr size_t kExtraTable1 = 1302;
constexpr size_t kExtraTable2 = 1502;

}  // namespace

TAppInfo::TAppInfo(const TAppInfoLayout& layout) : layout_(layout), block_(layout.Size, 0) {}

uint16_t TAppInfo::U16(size_t offset) const
{
    return GetU16BE(&block_[offset]);
}
void TAppInfo::PutU16(size_t offset, uint16_t v)
{
    PutU16BE(&block_[offset], v);
}
uint32_t TAppInfo::U32(size_t offset) const
{
    return GetU32BE(&block_[offset]);
}
void TAppInfo::PutU32(size_t offset, uint32_t v)
{
    PutU32BE(&block_[offset], v);
}

std::string TAppInfo::Text(size_t offset, size_t maxLen) const
{
    const uint8_t* p = &block_[offset];
    size_t len = 0;
    while (len < maxLen && p[len] != 0)
        ++len;
    return std::string(reinterpret_cast<const char*>(p), len);
}

void TAppInfo::PutText(size_t offset, size_t maxLen, const std::string& t, bool zeroFill)
{
    size_t len = std::min(t.size(), maxLen);
    // A NUL inside the text would end it early in the file; keep what precedes it.
    len = std::min(len, t.find('\0') == std::string::npos ? len : t.find('\0'));
    uint8_t* p = &block_[offset];
    std::copy_n(t.data(), len, p);
    if (zeroFill)
        std::fill(p + len, p + maxLen + 1, uint8_t(0));
    else
        p[len] = 0;
}

int TAppInfo::GetCategory() const
{
    return GetFlags() >> 12;
}
void TAppInfo::SetCategory(int n)
{
    SetFlags(uint16_t((GetFlags() & 0x0FFF) | ((n & 0xF) << 12)));
}

std::string TAppInfo::GetFieldName(int i) const
{
    return ValidField(i) ? Text((i - 1) * kNameSize, 20) : std::string();
}

void TAppInfo::SetFieldName(int i, const std::string& name)
{
    if (ValidField(i))
        PutText((i - 1) * kNameSize, 20, name, true);
}

TFieldType TAppInfo::GetFieldType(int i) const
{
    return TFieldType(ValidField(i) ? U16(layout_.Types + (i - 1) * 2) : 0);
}

void TAppInfo::SetFieldType(int i, TFieldType type)
{
    // Only the 5.5 block tells an international date from a plain one.
    if (ValidField(i))
        PutU16(layout_.Types + (i - 1) * 2, Code(type == TFieldType::IntDate ? TFieldType::Date : type));
}

int TAppInfo::GetFieldCount() const
{
    return U16(layout_.FieldCount);
}
void TAppInfo::SetFieldCount(int n)
{
    PutU16(layout_.FieldCount, uint16_t(n));
}
void TAppInfo::SetLayoutTag(uint16_t v)
{
    PutU16(layout_.LayoutTag, v);
}

int16_t TAppInfo::GetColumnWidth(int i) const
{
    const uint16_t stored = ValidField(i) ? U16(layout_.Widths + (i - 1) * 2) : 0;
    return layout_.UnsignedWidths ? int16_t(std::min<uint16_t>(stored, 32767)) : int16_t(stored);
}

void TAppInfo::SetColumnWidth(int i, int16_t w)
{
    // A negative width is a large unsigned one: it is stored unchanged.
    if (layout_.UnsignedWidths && uint16_t(w) < 20)
        w = 20;
    if (ValidField(i))
        PutU16(layout_.Widths + (i - 1) * 2, uint16_t(w));
}

uint16_t TAppInfo::GetDisplayWidth() const
{
    return U16(layout_.DisplayWidth);
}
void TAppInfo::SetDisplayWidth(uint16_t v)
{
    PutU16(layout_.DisplayWidth, v);
}

uint16_t TAppInfo::GetSortField(int k) const
{
    return (k >= 1 && k <= 3) ? U16(layout_.SortFields + (k - 1) * 2) : 0;
}

void TAppInfo::SetSortField(int k, uint16_t f)
{
    if (k >= 1 && k <= 3)
        PutU16(layout_.SortFields + (k - 1) * 2, f);
}

uint16_t TAppInfo::GetFindField() const
{
    return U16(layout_.FindField);
}
void TAppInfo::SetFindField(uint16_t f)
{
    PutU16(layout_.FindField, f);
}
uint16_t TAppInfo::GetFilterField() const
{
    return U16(layout_.FilterField);
}
void TAppInfo::SetFilterField(uint16_t f)
{
    PutU16(layout_.FilterField, f);
}
std::string TAppInfo::GetFindText() const
{
    return Text(layout_.FindText, 15);
}
void TAppInfo::SetFindText(const std::string& t)
{
    PutText(layout_.FindText, 15, t, false);
}
std::string TAppInfo::GetFilterText() const
{
    return Text(layout_.FilterText, 15);
}
void TAppInfo::SetFilterText(const std::string& t)
{
    PutText(layout_.FilterText, 15, t, false);
}
uint16_t TAppInfo::GetFlags() const
{
    return U16(layout_.Flags);
}
void TAppInfo::SetFlags(uint16_t v)
{
    PutU16(layout_.Flags, v);
}
uint16_t TAppInfo::GetFirstColumn() const
{
    return U16(layout_.FirstColumn);
}
void TAppInfo::SetFirstColumn(uint16_t f)
{
    PutU16(layout_.FirstColumn, f);
}

void TAppInfo::LoadFromStream(ByteReader& in)
{
    in.ReadInto(block_.data(), block_.size());
}

void TAppInfo::SaveToStream(TStream& out) const
{
    std::vector<uint8_t> file = block_;
    for (int i = 0; i < layout_.MaxFields; ++i) {
        uint8_t* name = &file[i * kNameSize];
        size_t len = 0;
        while (len < 20 && name[len] != 0)
            ++len;
        std::fill(name + len, name + kNameSize, uint8_t(0));
    }
    // The two short texts hold at most 15 characters and always end in a NUL.
    for (size_t offset : {layout_.FindText, layout_.FilterText}) {
        uint8_t* p = &file[offset];
        if (std::find(p, p + kShortTextSize - 1, uint8_t(0)) == p + kShortTextSize - 1)
            p[kShortTextSize - 1] = 0;
    }
    out.Write(file.data(), file.size());
}

// --- JFile 3.x -------------------------------------------------------------

TAppInfo3::TAppInfo3() : TAppInfo(kLayout3) {}

std::string TAppInfo3::GetExtraText() const
{
    size_t len = std::min<size_t>(block_[kExtraText3], 11);
    return std::string(reinterpret_cast<const char*>(&block_[kExtraText3 + 1]), len);
}

void TAppInfo3::SetExtraText(const std::string& t)
{
    size_t len = std::min<size_t>(t.size(), 11);
    std::fill_n(&block_[kExtraText3], 12, uint8_t(0));
    block_[kExtraText3] = uint8_t(len);
    std::copy_n(t.data(), len, &block_[kExtraText3 + 1]);
}

uint32_t TAppInfo3::GetExtraValue(int, int) const
{
    return 0;
}
void TAppInfo3::SetExtraValue(int, int, uint32_t) {}

// --- Pro 4.x and later -----------------------------------------------------

TAppInfo4UP::TAppInfo4UP(const TAppInfoLayout& layout) : TAppInfo(layout) {}

uint32_t TAppInfo4UP::GetExtraValue(int table, int i) const
{
    if ((table != 1 && table != 2) || !ValidField(i))
        return 0;
    return U32((table == 1 ? kExtraTable1 : kExtraTable2) + (i - 1) * 4);
}

void TAppInfo4UP::SetExtraValue(int table, int i, uint32_t v)
{
    if ((table == 1 || table == 2) && ValidField(i))
        PutU32((table == 1 ? kExtraTable1 : kExtraTable2) + (i - 1) * 4, v);
}

TAppInfo4::TAppInfo4() : TAppInfo4UP(kLayout4) {}

TAppInfo5UP::TAppInfo5UP() : TAppInfo4UP(kLayout5) {}

TFieldType TAppInfo6::GetFieldType(int i) const
{
    const TFieldType stored = TAppInfo::GetFieldType(i);
    return (stored == TFieldType::Date && GetExtraValue(1, i) == 1) ? TFieldType::IntDate : stored;
}

void TAppInfo6::SetFieldType(int i, TFieldType type)
{
    if (type == TFieldType::IntDate) {
        TAppInfo::SetFieldType(i, TFieldType::Date);
        SetExtraValue(1, i, 1);
        return;
    }
    TAppInfo::SetFieldType(i, type);
    // A plain date must read back as a plain date, not as an international one.
    if (type == TFieldType::Date)
        SetExtraValue(1, i, 0);
}

std::unique_ptr<TAppInfo> MakeAppInfo(TLayout layout)
{
    switch (layout) {
    case TLayout::JFile3: return std::make_unique<TAppInfo3>();
    case TLayout::JFilePro4: return std::make_unique<TAppInfo4>();
    case TLayout::JFile5: return std::make_unique<TAppInfo5>();
    case TLayout::JFile55: break;
    }
    return std::make_unique<TAppInfo6>();
}

}  // namespace quorvil
