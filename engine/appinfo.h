#pragma once
// The application-info block of a JFile database: field definitions and view
// settings, one class per byte layout. The block is held in its file form
// (big-endian numbers, NUL-terminated texts); the getters and setters decode
// and encode, so a block read and written again keeps every byte.
#include "field_types.h"
#include "layout.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvil {

class ByteReader;
class TStream;

// Byte offsets of one block layout, and the rules its classes share.
struct TAppInfoLayout {
    size_t Size;
    int MaxFields;
    // Widths are kept unsigned, at least 20 and read as at most 32767 (the
    // 3.x and Pro 4.x blocks); otherwise signed and unchanged.
    bool UnsignedWidths;
    size_t Types, FieldCount, LayoutTag, Widths, DisplayWidth, SortFields, FindField, FilterField, FindText, FilterText,
        Flags, FirstColumn;
};

class TAppInfo {
public:
    virtual ~TAppInfo() = default;

    virtual int GetCategory() const;
    virtual void SetCategory(int n);
    virtual std::string GetFieldName(int i) const;
    virtual void SetFieldName(int i, const std::string& name);
    virtual TFieldType GetFieldType(int i) const;
    // Stores "INT.DATE" as "DATE": only the 5.5 block overrides this.
    virtual void SetFieldType(int i, TFieldType type);
    virtual int GetFieldCount() const;
    virtual void SetFieldCount(int n);
    virtual void SetLayoutTag(uint16_t v);
    virtual int16_t GetColumnWidth(int i) const;
    virtual void SetColumnWidth(int i, int16_t w);
    virtual uint16_t GetDisplayWidth() const;
    virtual void SetDisplayWidth(uint16_t v);
    virtual uint16_t GetSortField(int k) const;
    virtual void SetSortField(int k, uint16_t f);
    virtual uint16_t GetFindField() const;
    virtual void SetFindField(uint16_t f);
    virtual uint16_t GetFilterField() const;
    virtual void SetFilterField(uint16_t f);
    virtual std::string GetFindText() const;
    virtual void SetFindText(const std::string& t);
    virtual std::string GetFilterText() const;
    virtual void SetFilterText(const std::string& t);
    virtual uint16_t GetFlags() const;
    virtual void SetFlags(uint16_t v);
    virtual uint16_t GetFirstColumn() const;
    virtual void SetFirstColumn(uint16_t f);
    virtual std::string GetExtraText() const = 0;
    virtual void SetExtraText(const std::string& t) = 0;
    virtual uint32_t GetExtraValue(int table, int i) const = 0;
    virtual void SetExtraValue(int table, int i, uint32_t v) = 0;
    // A block of the same class with the same bytes.
    virtual std::unique_ptr<TAppInfo> Clone() const = 0;

    // Reads the block at the reader's position (missing bytes read as zeros).
    virtual void LoadFromStream(ByteReader& in);
    // Writes the block at the stream's position, zero-filled after each name.
    virtual void SaveToStream(TStream& out) const;

    int MaxFields() const { return layout_.MaxFields; }
    const std::vector<uint8_t>& Block() const { return block_; }

protected:
    explicit TAppInfo(const TAppInfoLayout& layout);

    bool ValidField(int i) const { return i >= 1 && i <= layout_.MaxFields; }
    uint16_t U16(size_t offset) const;
    void PutU16(size_t offset, uint16_t v);
    uint32_t U32(size_t offset) const;
    void PutU32(size_t offset, uint32_t v);
    std::string Text(size_t offset, size_t maxLen) const;
    void PutText(size_t offset, size_t maxLen, const std::string& t, bool zeroFill);

    const TAppInfoLayout& layout_;
    std::vector<uint8_t> block_;
};

// JFile 3.x: 564 bytes, 20 fields.
class TAppInfo3 : public TAppInfo {
public:
    TAppInfo3();
    std::unique_ptr<TAppInfo> Clone() const override { return std::make_unique<TAppInfo3>(*this); }
    std::string GetExtraText() const override;
    void SetExtraText(const std::string& t) override;
    uint32_t GetExtraValue(int table, int i) const override;
    void SetExtraValue(int table, int i, uint32_t v) override;
};

// Common to the 1702-byte layouts with 50 fields.
class TAppInfo4UP : public TAppInfo {
public:
    std::string GetExtraText() const override { return {}; }
    void SetExtraText(const std::string&) override {}
    uint32_t GetExtraValue(int table, int i) const override;
    void SetExtraValue(int table, int i, uint32_t v) override;

protected:
    explicit TAppInfo4UP(const TAppInfoLayout& layout);
};

// JFile Pro 4.x.
class TAppInfo4 : public TAppInfo4UP {
public:
    TAppInfo4();
    std::unique_ptr<TAppInfo> Clone() const override { return std::make_unique<TAppInfo4>(*this); }
};

// The 5.x layouts keep the flags word but do not use it.
class TAppInfo5UP : public TAppInfo4UP {
public:
    uint16_t GetFlags() const override { return 0; }
    void SetFlags(uint16_t) override {}

protected:
    TAppInfo5UP();
};

// JFile 5.x.
class TAppInfo5 : public TAppInfo5UP {
public:
    TAppInfo5() = default;
    std::unique_ptr<TAppInfo> Clone() const override { return std::make_unique<TAppInfo5>(*this); }
};

// JFile 5.5: a "DATE" field with table-1 entry 1 is an international date.
class TAppInfo6 : public TAppInfo5 {
public:
    TAppInfo6() = default;
    std::unique_ptr<TAppInfo> Clone() const override { return std::make_unique<TAppInfo6>(*this); }
    TFieldType GetFieldType(int i) const override;
    void SetFieldType(int i, TFieldType type) override;
};

// A new, empty block of the class of `layout`.
std::unique_ptr<TAppInfo> MakeAppInfo(TLayout layout);

}  // namespace quorvil
