#pragma once
// A database as an HTML5 page that browsers read: UTF-8, the title, and
// one table with a header row of field names and a row per record. Cells
// show their text as it is: `&`, `<` and `>` escaped, line breaks (CR LF
// and CR too) as <br>, and the control characters HTML does not allow in
// text as U+FFFD. The handheld converter's own HTML table stays as it is.
#include <string>
#include <vector>

namespace quorvil {

class TJFILE;
class TStream;

// The page's bytes for `fields` (field numbers from 1, in output order; 0
// and numbers beyond the database's are skipped) of every record, in record
// order.
void WriteBrowserHtmlTo(const TJFILE& db, const std::vector<int>& fields, TStream& out);
// Writes them to `fileName`, replacing any file of that name once the new
// one is complete. Throws EStreamError when it cannot be written or is the
// database's own file.
void WriteBrowserHtml(TJFILE& db, const std::vector<int>& fields, const std::string& fileName);

}  // namespace quorvil
