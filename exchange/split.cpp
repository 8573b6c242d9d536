#include "split.h"

#include "config_settings.h"
#include "errors.h"
#include "export.h"
#include "field_types.h"
#include "file_names.h"
#include "file_system.h"
#include "ini_file.h"
#include "jfile.h"
#include "progress.h"
#include "record_pick.h"
#include "streams.h"
#include "text_utils.h"
#include "text_writers.h"

#include <array>
#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>
#include <unordered_map>

namespace quorvil {

namespace {

namespace fs = std::filesystem;

bool KeptInFileName(unsigned char c)
{
    return c == ' ' || c == '!' || c == '"' || c == '#' || c == '\'' || c == '-' || (c >= '0' && c <= '9') ||
           c == '@' || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || (c >= 128 && c <= 254);
}

// The directory of a file, made absolute: a bare name is in the current one.
std::string AbsoluteDirectoryOf(const std::string& fileName)
{
    if (fileName.empty())
        return {};
    std::error_code ec;
    fs::path absolute = fs::absolute(fileName, ec);
    return (ec ? fs::path(fileName) : absolute).parent_path().string();
}

// One output database before it is written: its definitions, and the
// records of the source it holds.
struct TOutput {
    std::string FileName;  // with ".PDB" or the extension given
    std::unique_ptr<TJFILE> Db;
    TRecordPick Records;
};

// A new database in memory with the source's fields except the split field.
std::unique_ptr<TJFILE> NewOutput(const TJFILE& db, int splitField, const std::string& fileName)
{
    auto out = std::make_unique<TJFILE>();
    out->InitNew();
    out->FileName = fileName;
    out->SetFieldCount(db.FieldCount() - 1);
    int k = 0;
    for (int i = 1; i <= db.FieldCount(); ++i) {
        if (i == splitField)
            continue;
        ++k;
        out->SetFieldName(k, db.GetFieldName(i));
        out->SetFieldType(k, db.GetFieldType(i));
        if (db.GetFieldType(i) == TFieldType::List)
            for (int p = 1; p <= db.PopupCount(i); ++p)
                out->SetPopupItem(k, p, db.GetPopupItem(i, p));
    }
    std::string title = fs::path(fileName).stem().string();
    out->PdbHeader.Name = title.substr(0, 31);
    return out;
}

// Checks every output's place before anything is written, so that a bad
// choice does not leave half of the outputs written.
void CheckOutputNames(const std::vector<TOutput>& outputs)
{
    std::set<std::string> seen;
    for (const TOutput& o : outputs) {
        const std::string dir = AbsoluteDirectoryOf(o.FileName);
        if (!dir.empty() && !DirectoryExists(dir))
            throw EStreamError("Cannot create file \"" + o.FileName + "\". No such file or directory");
        std::error_code ec;
        fs::path full = fs::weakly_canonical(o.FileName, ec);
        if (!seen.insert(ec ? o.FileName : full.string()).second)
            throw std::invalid_argument("Two values would be written to the same file \"" + o.FileName + "\".");
    }
}

// The source fields an output shows, in order, and the global values by
// output field.
std::vector<int> OutputFields(const TJFILE& db, int splitField)
{
    std::vector<int> fields;
    for (int i = 1; i <= db.FieldCount(); ++i)
        if (i != splitField)
            fields.push_back(i);
    return fields;
}

std::map<int, std::string> OutputGlobals(const TSplitChoice& choice, const std::vector<int>& fields)
{
    std::map<int, std::string> globals;
    for (size_t k = 0; k < fields.size(); ++k) {
        auto global = choice.GlobalValues.find(fields[k]);
        if (global != choice.GlobalValues.end())
            globals[int(k) + 1] = global->second;
    }
    return globals;
}

// Gives each output the numbers of its records, in one pass over the source.
void Distribute(const TJFILE& db, const TSplitChoice& choice, std::vector<TOutput>& outputs)
{
    std::unordered_map<std::string_view, std::vector<size_t>> byValue;
    for (size_t o = 0; o < outputs.size(); ++o)
        byValue[choice.Values[o].Value].push_back(o);
    for (int r = 1; r <= db.RecordCount(); ++r) {
        auto it = byValue.find(db.CellView(r, choice.Field));
        if (it != byValue.end())
            for (size_t o : it->second)
                outputs[o].Records.Rows.push_back(r);
    }
}

// The text tables show the output's own records: only they get copies.
void FillRecords(TOutput& out)
{
    std::vector<TDATA> records;
    records.reserve(size_t(out.Records.Count()));
    std::array<std::string_view, kMaxSlots> cells;
    for (int i = 1; i <= out.Records.Count(); ++i) {
        out.Records.Cells(i, cells);
        records.emplace_back(cells.data(), out.Records.FieldCount());
    }
    out.Db->AdoptRecords(std::move(records), nullptr);
}

int FormatCount(const TSplitFormats& formats)
{
    return int(formats.PDB) + int(formats.CSV) + int(formats.HTM) + int(formats.TXT);
}

// The files finished so far and the files in all, for the progress.
struct TFileCount {
    int Done = 0;
    int Total = 0;
};

// Returns false when the progress stopped the split before a file.
bool WriteOutput(TOutput& out, const TSplitFormats& formats, const std::vector<int>& widths,
                 const TSplitProgress& progress, TFileCount& files)
{
    TJFILE& db = *out.Db;
    if (formats.HTM || formats.TXT)
        FillRecords(out);
    for (size_t i = 0; i < widths.size(); ++i)
        db.SetColumnWidth(int(i) + 1, widths[i]);
    const std::vector<int> fields = AllFields(db);
    bool going = true;
    auto write = [&](bool wanted, const char* extension, const std::function<void(const std::string&)>& writer) {
        if (!wanted || !going)
            return;
        const std::string name = extension ? ForceExtension(out.FileName, extension) : out.FileName;
        going = !progress || progress(name, files.Done, files.Total);
        if (!going)
            return;
        // The split's steps are its files, not the records of each.
        TProgressWatch quiet({});
        writer(name);
        ++files.Done;
    };
    // Like the text exports, an output can be made again from the source, so
    // it is replaced all-or-nothing without waiting for the disk.
    write(formats.PDB, nullptr, [&](const std::string& name) {
        TFileStream::ReplaceFile(
            name,
            [&](TFileStream& file) {
                db.Save(file, out.Records);
                file.Flush();
            },
            TFileStream::Durability::Unsynced);
    });
    write(formats.CSV, "CSV", [&](const std::string& name) { WriteCSV(db, out.Records, fields, name); });
    write(formats.HTM, "HTM", [&](const std::string& name) { WriteHTML(db, name, fields); });
    write(formats.TXT, "TXT", [&](const std::string& name) { WriteTXT(db, name, fields); });
    return going;
}

}  // namespace

std::vector<int> ListFields(const TJFILE& db)
{
    std::vector<int> fields;
    for (int f = 1; f <= db.FieldCount(); ++f)
        if (db.GetFieldType(f) == TFieldType::List)
            fields.push_back(f);
    return fields;
}

int LastFieldNamed(const TJFILE& db, const std::string& name)
{
    for (int f = db.FieldCount(); f >= 1; --f)
        if (db.GetFieldName(f) == name)
            return f;
    return 0;
}

std::string DefaultSplitFileName(std::string_view value)
{
    std::string name;
    for (char c : value)
        if (KeptInFileName(static_cast<unsigned char>(c)))
            name += c;
    return name;
}

std::vector<TSplitValue> SplitValues(const TJFILE& db, int field, const TIniFile* ini)
{
    std::set<std::string_view> held;
    for (int r = 1; r <= db.RecordCount(); ++r)
        held.insert(db.CellView(r, field));
    std::vector<TSplitValue> values;
    for (int p = 1; p <= db.PopupCount(field); ++p) {
        TSplitValue v;
        v.Value = db.GetPopupItem(field, p);
        v.Held = held.count(v.Value) > 0;
        v.FileName = ini ? ReadText(*ini, settings::SplitFileName, {.Section = db.PdbHeader.Name, .Key = v.Value})
                         : std::string();
        if (v.FileName.empty())
            v.FileName = DefaultSplitFileName(v.Value);
        values.push_back(std::move(v));
    }
    return values;
}

bool RememberSplitNames(TIniFile& ini, const TJFILE& db, const std::vector<TSplitValue>& values)
{
    std::vector<TIniEntry> entries;
    for (const TSplitValue& v : values)
        if (!v.FileName.empty())
            entries.push_back(
                TextEntry(settings::SplitFileName, v.FileName, {.Section = db.PdbHeader.Name, .Key = v.Value}));
    return entries.empty() || ini.WriteStrings(entries);
}

std::string SplitOutputName(const TJFILE& db, const std::string& outputDir, const std::string& name)
{
    std::string full = name;
    if (!fs::path(name).has_parent_path()) {
        std::string dir = outputDir;
        if (dir.empty() || !DirectoryExists(dir))
            dir = AbsoluteDirectoryOf(db.FileName);
        if (dir.empty() || !DirectoryExists(dir))
            dir = ProgramDir();
        full = AddBackslash(dir) + name;
    }
    return DefaultExtension(full, "PDB");
}

std::vector<int> WidthsFromDef(const std::string& defName, int fieldCount)
{
    std::string text = TIniFile(defName).ReadString("JFilePro", "Widths");
    ReplaceAll(text, ",", " ");
    const int count = WordCount(text);
    if (count != fieldCount)
        return {};
    std::vector<int> widths;
    for (int i = 1; i <= count; ++i) {
        const std::string word = NthWord(text, i);
        size_t used = 0;
        long long w = 0;
        try {
            w = std::stoll(word, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != word.size() || w < -32768 || w > 32767)
            throw std::invalid_argument("The column width " + word + " in key \"Widths\" of \"" + defName +
                                        "\" is not a number from -32768 to 32767.");
        widths.push_back(int(w));
    }
    return widths;
}

std::vector<std::string> Split(const TJFILE& db, const TSplitChoice& choice, const TSplitProgress& progress)
{
    if (db.GetFieldType(choice.Field) != TFieldType::List)
        throw std::invalid_argument(kNoListFieldMessage);
    std::vector<TOutput> outputs;
    TSplitChoice chosen = choice;
    chosen.Values.clear();
    const std::vector<int> fields = OutputFields(db, choice.Field);
    const std::map<int, std::string> globals = OutputGlobals(choice, fields);
    for (const TSplitValue& v : choice.Values) {
        if (v.FileName.empty())
            continue;
        const std::string name = SplitOutputName(db, choice.OutputDir, v.FileName);
        outputs.push_back({name, NewOutput(db, choice.Field, name), TRecordPick(db, fields, globals)});
        chosen.Values.push_back(v);
    }
    CheckOutputNames(outputs);
    std::vector<std::vector<int>> widths;
    for (const TOutput& o : outputs)
        widths.push_back(choice.Formats.PDB || choice.Formats.CSV
                             ? WidthsFromDef(ForceExtension(o.FileName, "DEF"), o.Db->FieldCount())
                             : std::vector<int>());
    Distribute(db, chosen, outputs);

    std::vector<std::string> written;
    TFileCount files{0, int(outputs.size()) * FormatCount(choice.Formats)};
    for (size_t o = 0; o < outputs.size(); ++o) {
        if (!WriteOutput(outputs[o], choice.Formats, widths[o], progress, files))
            break;
        written.push_back(outputs[o].FileName);
    }
    return written;
}

}  // namespace quorvil
