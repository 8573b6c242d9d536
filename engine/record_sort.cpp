#include "record_sort.h"

#include "date_text.h"
#include "jfile.h"
#include "numbers.h"

#include <bit>
#include <cstdio>

namespace quorvil {

namespace {

constexpr size_t kKeyLimit = 255;
constexpr size_t kTextPiece = 60;

std::string HexPosition(int position)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X", position & 0xFF);
    return buffer;
}

// Appends a text piece: the value padded with blanks to 60 or cut to 60.
void AppendTextPiece(std::string& key, std::string_view value)
{
    value = value.substr(0, kTextPiece);
    key.append(value);
    key.append(kTextPiece - value.size(), ' ');
}

}  // namespace

std::optional<uint64_t> OrderedValue(TOrderKind kind, std::string_view text)
{
    switch (kind) {
    case TOrderKind::Number:
        if (const std::optional<double> number = DecimalValue(text)) {
            // Positives get the sign bit set, negatives have every bit flipped.
            const uint64_t bits = std::bit_cast<uint64_t>(*number == 0 ? 0.0 : *number);  // -0 is 0
            return (bits >> 63) != 0 ? ~bits : bits | (uint64_t(1) << 63);
        }
        break;
    case TOrderKind::LongDate:
        if (const std::optional<TCivilDate> date = ParseLongDateText(text))
            return uint64_t(date->Year * 10000 + date->Month * 100 + date->Day);
        break;
    case TOrderKind::Date:
        if (const std::optional<TCivilDate> date = ParseDateText(text))
            return uint64_t(date->Year * 10000 + date->Month * 100 + date->Day);
        break;
    case TOrderKind::Time:
        if (const std::optional<TClockTime> time = ParseTimeText(text))
            return uint64_t(time->Hour * 3600 + time->Minute * 60 + time->Second);
        break;
    default: break;
    }
    return std::nullopt;
}

namespace {

// A value's piece starts with a mark, so that empty and unreadable values
// (by their text among themselves) come before every readable one; the value
// follows big-endian, so that byte order is the values' order.
void AppendValuePiece(std::string& key, TOrderKind kind, std::string_view text)
{
    const std::optional<uint64_t> value = OrderedValue(kind, text);
    if (!value) {
        key += '\x00';
        AppendTextPiece(key, text);
        return;
    }
    key += '\x01';
    for (int shift = 56; shift >= 0; shift -= 8)
        key += char((*value >> shift) & 0xFF);
}

// The fields of the key names, looked up once for the whole sort.
struct KeyField {
    int Field;
    TOrderKind Kind;
    int ListIndex;  // k: List fields met before this one
    bool Descending;
};

std::vector<KeyField> ResolveKeys(const TJFILE& db, const TSortOrder& order)
{
    std::vector<KeyField> keys;
    int lists = 0;
    for (size_t n = 0; n < order.SortList.size(); ++n) {
        const std::string& name = order.SortList[n];
        int field = 0;
        for (int f = 1; f <= db.FieldCount() && field == 0; ++f)
            if (db.GetFieldName(f) == name)
                field = f;
        if (field == 0)
            continue;
        const TOrderKind kind = OrderKindOf(db.GetFieldType(field));
        keys.push_back({field, kind, lists, n < order.Descending.size() && order.Descending[n]});
        if (kind == TOrderKind::List)
            ++lists;
    }
    return keys;
}

void AppendListPiece(std::string& key, const TJFILE& db, const KeyField& field, std::string_view value,
                     const TSortOrder& order)
{
    size_t k = size_t(field.ListIndex);
    bool dialogRan = k < order.OrderModes.size() && k < order.OrderLists.size();
    if (dialogRan && order.OrderModes[k] == 0) {
        AppendTextPiece(key, value);
        return;
    }
    int position = 0;
    if (dialogRan) {
        const auto& list = order.OrderLists[k];
        for (size_t i = 0; i < list.size() && position == 0; ++i)
            if (list[i] == value)
                position = int(i) + 1;
    } else {
        for (int i = 1; i <= db.PopupCount(field.Field) && position == 0; ++i)
            if (db.GetPopupItem(field.Field, i) == value)
                position = i;
    }
    key += HexPosition(position);
}

// Appends the key of a record to `key`.
void AppendKey(std::string& key, const TJFILE& db, int record, const std::vector<KeyField>& keys,
               const TSortOrder& order)
{
    const size_t start = key.size();
    for (const KeyField& k : keys) {
        const size_t piece = key.size();
        std::string_view value = db.CellView(record, k.Field);
        if (k.Kind == TOrderKind::List)
            AppendListPiece(key, db, k, value, order);
        else if (k.Kind == TOrderKind::Text)
            AppendTextPiece(key, value);
        else
            AppendValuePiece(key, k.Kind, value);
        // Two pieces of one field have the same length or differ in their
        // first byte, so the complement of each byte reverses their order.
        if (k.Descending)
            for (size_t i = piece; i < key.size(); ++i)
                key[i] = char(~static_cast<unsigned char>(key[i]));
        if (key.size() - start >= kKeyLimit) {
            key.resize(start + kKeyLimit);
            break;
        }
    }
}

// One position of the sort: a record's key and the record now there.
struct Slot {
    std::string_view Key;
    int Record;
};

void QuickSort(std::vector<Slot>& slots, int lo, int hi)
{
    int i = lo;
    int j = hi;
    const std::string_view pivot = slots[size_t((lo + hi) / 2)].Key;
    do {
        while (slots[size_t(i)].Key < pivot)
            ++i;
        while (slots[size_t(j)].Key > pivot)
            --j;
        if (i <= j) {
            if (i != j)
                std::swap(slots[size_t(i)], slots[size_t(j)]);
            ++i;
            --j;
        }
    } while (i <= j);
    if (lo < j)
        QuickSort(slots, lo, j);
    if (i < hi)
        QuickSort(slots, i, hi);
}

}  // namespace

std::string SortKey(const TJFILE& db, int record, const TSortOrder& order)
{
    std::string key;
    AppendKey(key, db, record, ResolveKeys(db, order), order);
    return key;
}

void SortRecords(TJFILE& db, const TSortOrder& order, int lo, int hi)
{
    if (lo < 1 || hi > db.RecordCount() || lo >= hi)
        return;
    // Each record's key is built once and the quicksort runs on the keys; the
    // resulting order is the one the algorithm gives when it builds keys for
    // every comparison and exchanges the records themselves.
    std::vector<KeyField> fields = ResolveKeys(db, order);
    // All keys in one buffer: fewer allocations and better locality.
    std::string arena;
    std::vector<size_t> ends(size_t(hi) + 1);
    for (int r = lo; r <= hi; ++r) {
        AppendKey(arena, db, r, fields, order);
        ends[size_t(r)] = arena.size();
    }
    std::vector<Slot> slots(size_t(hi) + 1);
    for (int r = lo; r <= hi; ++r) {
        size_t begin = r == lo ? 0 : ends[size_t(r - 1)];
        slots[size_t(r)] = {std::string_view(arena).substr(begin, ends[size_t(r)] - begin), r};
    }
    QuickSort(slots, lo, hi);
    std::vector<int> newOrder(size_t(db.RecordCount()));
    for (int r = 1; r <= db.RecordCount(); ++r)
        newOrder[size_t(r - 1)] = (r >= lo && r <= hi) ? slots[size_t(r)].Record : r;
    db.PermuteRecords(newOrder);
}

}  // namespace quorvil
