#pragma once
// CSV as spreadsheets and other programs read it (RFC 4180): UTF-8, a
// header row of field names, cells quoted where they hold the separator, a
// quote or a line break, quotes doubled, line breaks kept inside the cell,
// CR LF after every row. The handheld converter's own CSV stays as it is.
#include <string>
#include <vector>

namespace quorvil {

class TJFILE;
class TStream;

struct TStandardCsvOptions {
    char Separator = ',';        // ',' or ';' (where the comma is the decimal mark: Float values get one)
    bool ByteOrderMark = false;  // spreadsheets need it to take the file as UTF-8
};

// The file's bytes for `fields` (field numbers from 1, in output order; 0 is
// skipped) of every record, in record order.
void WriteStandardCsvTo(const TJFILE& db, const std::vector<int>& fields, const TStandardCsvOptions& options,
                        TStream& out);
// Writes them to `fileName`, replacing any file of that name once the new
// one is complete. Throws EStreamError when it cannot be written or is the
// database's own file.
void WriteStandardCsv(TJFILE& db, const std::vector<int>& fields, const TStandardCsvOptions& options,
                      const std::string& fileName);

}  // namespace quorvil
