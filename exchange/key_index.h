#pragma once
// The records of a database grouped by the text of one key field, so that
// copy and merge find the records of a key without reading the whole
// database once per record.
#include "text_utils.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvil {

class TJFILE;

// Appends an empty record and returns its number. Throws ERangeError when
// the database already holds 65535 records, before changing it.
int AppendEmptyRecord(TJFILE& db);

class TKeyIndex {
public:
    // Indexes every record of `db` by its cell of `field`. With
    // `integerKeys` a cell stands for the whole number it reads as (0 when it
    // is none), written in decimal, so that 007 and 7 are one key.
    TKeyIndex(const TJFILE& db, int field, bool integerKeys);

    // The key a cell stands for.
    std::string KeyOf(std::string_view cell) const;
    // The key record `record` has now.
    std::string KeyOfRecord(int record) const;
    // The records holding `key`, in record order; null when none does.
    const std::vector<int>* Find(std::string_view key) const;
    // Records a new last record under its current key.
    void AddLast(int record);
    // Moves `record` from `oldKey` to the key its cell holds now.
    void Rekey(int record, std::string_view oldKey);

private:
    const TJFILE& db_;
    int field_;
    bool integerKeys_;
    std::unordered_map<std::string, std::vector<int>, TTextHash, std::equal_to<>> records_;  // looked up by views
};

}  // namespace quorvil
