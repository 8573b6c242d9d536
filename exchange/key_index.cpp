#include "key_index.h"

#include "errors.h"
#include "jfile.h"
#include "numbers.h"

#include <algorithm>

namespace quorvil {

int AppendEmptyRecord(TJFILE& db)
{
    if (db.RecordCount() >= 65535)
        throw ERangeError("A database holds at most 65535 records.");
    db.SetRecordCount(uint16_t(db.RecordCount() + 1));
    return db.RecordCount();
}

TKeyIndex::TKeyIndex(const TJFILE& db, int field, bool integerKeys) : db_(db), field_(field), integerKeys_(integerKeys)
{
    records_.reserve(size_t(db.RecordCount()));
    for (int r = 1; r <= db.RecordCount(); ++r)
        records_[KeyOfRecord(r)].push_back(r);
}

std::string TKeyIndex::KeyOf(std::string_view cell) const
{
    return integerKeys_ ? NumberText(TextToInt64(cell)) : std::string(cell);
}

std::string TKeyIndex::KeyOfRecord(int record) const
{
    return KeyOf(db_.CellView(record, field_));
}

const std::vector<int>* TKeyIndex::Find(std::string_view key) const
{
    auto it = records_.find(key);
    return it == records_.end() || it->second.empty() ? nullptr : &it->second;
}

void TKeyIndex::AddLast(int record)
{
    records_[KeyOfRecord(record)].push_back(record);
}

void TKeyIndex::Rekey(int record, std::string_view oldKey)
{
    if (!integerKeys_ && db_.CellView(record, field_) == oldKey)
        return;
    std::string newKey = KeyOfRecord(record);
    if (newKey == oldKey)
        return;
    if (auto old = records_.find(oldKey); old != records_.end())
        old->second.erase(std::remove(old->second.begin(), old->second.end(), record), old->second.end());
    std::vector<int>& now = records_[newKey];
    now.insert(std::lower_bound(now.begin(), now.end(), record), record);
}

}  // namespace quorvil
