#pragma once
// A database as one JSON object: title, layout 0..3, creator, fields, view
// settings, saved sorts and filters, the multi-byte character set its texts
// seem to be written in ("charsetGuess", or null), and optionally every cell. Given a
// character set, texts are its characters; without one each byte maps onto
// the code point of the same number (U+0000..U+00FF), the form `quorvil-cli
// create` reads back. Either way every byte survives.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvil {

class TJFILE;
enum class TCharset : uint8_t;
class TStream;

// Every field, in field order.
nlohmann::ordered_json DatabaseToJson(const TJFILE& db, bool withRecords, std::optional<TCharset> set = {});
// Only `fields` (field numbers from 1, in output order; 0 and numbers
// beyond the database's are skipped): "field_count" is their number,
// "fields" and each record's cells follow that order, and the keys that
// name a field by number ("sort_fields", "find_field", "filter_field",
// "first_column", the saved sorts' "fields") give its place in that list,
// or 0 for a field left out. Saved filters are kept as they are. With
// every field in field order this equals the form above.
nlohmann::ordered_json DatabaseToJson(const TJFILE& db, const std::vector<int>& fields, bool withRecords,
                                      std::optional<TCharset> set = {});

// The file's bytes: the object above with the records, one space of
// indent per level, ending in a line feed, as `info --json --records`
// prints it.
void WriteJsonTo(const TJFILE& db, const std::vector<int>& fields, TStream& out, std::optional<TCharset> set = {});
// The same bytes (without the records unless `withRecords`: then as the
// object above dumped so, with a line feed) handed to `sink` in pieces of
// about 64 KiB as they are written.
void WriteJsonTo(const TJFILE& db, const std::vector<int>& fields, bool withRecords,
                 const std::function<void(const char*, size_t)>& sink, std::optional<TCharset> set = {});
// Writes them to `fileName`, replacing any file of that name once the new
// one is complete. Throws EStreamError when it cannot be written or is the
// database's own file.
void WriteJson(TJFILE& db, const std::vector<int>& fields, const std::string& fileName,
               std::optional<TCharset> set = {});

}  // namespace quorvil
