#pragma once
// Text exports of a database: CSV with its .DEF settings file, an HTML table
// and a fixed-width text table. Each writes every record in record order and
// ends every line with CR LF. `fields` lists field numbers in output order;
// an entry 0 stands for no field and is skipped.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TJFILE;
class TRecordPick;
class TStream;

// Writes the CSV file (".CSV" appended when the file-name part has no ".")
// and updates its settings file (the same name with extension ".DEF") key by
// key. The CSV file is replaced crash-safely. Throws EStreamError, naming the
// CSV file, when it cannot be written; the settings writes report no errors.
void WriteCSV(TJFILE& db, const std::vector<int>& fields, const std::string& fileName);
// The same with the records of `records` in place of the database's own:
// `db` gives the fields and settings.
void WriteCSV(TJFILE& db, const TRecordPick& records, const std::vector<int>& fields, const std::string& fileName);
// Writes an HTML table (".HTM" appended when the name has no extension).
void WriteHTML(TJFILE& db, const std::string& fileName, const std::vector<int>& fields);
// Writes a fixed-width text table (".TXT" appended when the name has no
// extension); at most the first 50 entries of `fields` are used.
void WriteTXT(TJFILE& db, const std::string& fileName, const std::vector<int>& fields);

// Writes `body` to `fileName`, replacing any file of that name once the new
// one is complete; never over the database's own file (EStreamError). The
// writers of every export format go through it.
void ReplaceWithText(TJFILE& db, const std::string& fileName, const std::function<void(TStream&)>& body);

// The bodies of the three files, written to any stream.
void WriteCSVTo(const TJFILE& db, const std::vector<int>& fields, TStream& out);
void WriteCSVTo(const TJFILE& db, const TRecordPick& records, const std::vector<int>& fields, TStream& out);
void WriteHTMLTo(const TJFILE& db, const std::vector<int>& fields, TStream& out);
void WriteTXTTo(const TJFILE& db, const std::vector<int>& fields, TStream& out);
// Updates the "JFilePro" section of the settings file `defName`.
void WriteCSVSettings(const TJFILE& db, const std::vector<int>& fields, const std::string& defName);

// A "DATE" cell as the CSV shows it: day/month/year becomes "05 Mar 2003"
// (two-digit years below 80 in the 2000s, others in the 1900s); a text that
// is not such a date is returned unchanged.
std::string CsvDateText(std::string_view text);

}  // namespace quorvil
