#pragma once
// The in-memory JFile database: field definitions (through the application-
// info block), records as 8-bit text cells, popup lists, defaults, saved sorts
// and saved filters. Records and fields are numbered from 1. Getters return
// empty text or 0 for indexes out of range; setters compare first and mark
// the database modified only on a real change. Its data are private: every
// change goes through a setter, so that none escapes the modified flag or a
// subclass that follows the changes.
#include "appinfo.h"
#include "charset.h"
#include "layout.h"
#include "load_damage.h"
#include "pdb_container.h"
#include "record_data.h"

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

struct FilterRec {
    std::string FilterName;
    std::array<std::string, 5> FilterValues;
    uint16_t FilterWord = 0;
    std::array<int8_t, 5> FilterCodes{};
    bool operator==(const FilterRec&) const = default;
};

struct TSavedSort {
    std::array<uint16_t, 3> Fields{};
    std::string Name;
};

// One cell of a record given as typed: the field (from 1) and its text.
struct TCellText {
    int Field;
    std::string_view Text;
};

// The field definitions and the settings kept beside them (popup lists,
// saved sorts, defaults, saved filters) held apart from their database: what
// the undo of a definition change puts back.
struct TDefinitionSnapshot {
    std::unique_ptr<TAppInfo> AppInfo;
    std::array<std::unique_ptr<TDATA>, kMaxSlots> PopupLists;
    std::array<TSavedSort, 5> SavedSorts;
    std::array<std::string, kMaxSlots> Defaults;
    std::array<FilterRec, 5> Filters;
};

enum class TRecordCopy;  // CopyDatabase's choice, below

class TJFILE : public TPalmPilotDB {
public:
    TJFILE();
    ~TJFILE() override;

    void InitNew() override;
    // Reads the whole database from the open file.
    void Load() override;
    void SetRecordCount(uint16_t n) override;
    // Replaces every record with `records`, which may refer to the bytes of
    // `image` (TDATA::InFile); the database then holds `image` in place of
    // the one it was loaded from.
    void AdoptRecords(std::vector<TDATA>&& records, std::unique_ptr<TFileImage> image);
    // Whether the database differs from its file: set by every change (and
    // by SetModified), cleared by loading, InitNew and a save.
    bool Modified() const { return modified_; }
    // Virtual so that the main window's database hears of every change.
    virtual void SetModified();
    // The database counts as its file holds it again (an undo back to the
    // last save; a rule of the open that a read-only file cannot keep).
    void ClearModified() { modified_ = false; }
    // How the texts' bytes become characters for people and other programs.
    // Not kept in the file (the handheld marks no set): the editor remembers
    // it by the title, the command-line tool takes it as an option. A change
    // of set never changes a byte.
    TCharset Charset() const { return charset_; }
    void SetCharset(TCharset set) { charset_ = set; }
    TLayout Layout() const { return layout_; }
    // The texts a Boolean "1" and "0" are shown as and typed as: "TRUE" and
    // "FALSE" until set otherwise.
    const std::string& TrueText() const { return trueText_; }
    const std::string& FalseText() const { return falseText_; }
    void SetBooleanTexts(const std::string& trueText, const std::string& falseText);
    // The database counts as read from its file from now on (the reader does
    // this): SetPopupItem then renames the values it changes in the records.
    void MarkLoaded() { loaded_ = true; }
    // Progress text of long operations; the main window shows it.
    virtual void Status(const std::string& text);
    virtual std::string GetDisplayCell(int record, int field) const;
    // A Boolean cell's "1" and "0" as TrueText and FalseText; other texts as they are.
    std::string_view BooleanShown(std::string_view cell) const;

    // Reading (jfile_reader.cpp). Throws EInOutError for a file that is not a
    // JFile database or is damaged beyond reading.
    void LoadFrom(TStream& stream);
    // Empty when the last load found the whole file. When the file ends
    // early (it still loads: what can be read stays readable) one or two
    // sentences for the user that name the file, give its size and say which
    // parts could not be read whole, e.g.
    //   The file "/x/y.pdb" ends early: it holds 1,234 bytes, too few for its
    //   field definitions and its 10 records. 3 of the 10 records could be
    //   read whole; 7 are missing.
    // Cleared by every load, by InitNew and by a save into the file, which
    // makes it whole again.
    const std::string& LoadWarning() const { return loadWarning_; }
    // What the last load could not read; nothing (Any() false) when the
    // file was whole. Cleared with LoadWarning.
    const TLoadDamage& LoadDamage() const { return loadDamage_; }
    // Writing (jfile_writer.cpp). Save writes the whole database into `stream`
    // at BaseOffset; SaveWithName saves into the database's own file,
    // crash-safely. Both throw EStreamError when writing fails.
    void Save(TStream& stream);
    // Save with the records of `records` in place of the database's own,
    // which stay as they are; the pick's fields are this database's fields.
    void Save(TStream& stream, const class TRecordPick& records);
    virtual void SaveWithName(const std::string& title);
    void ConvertLayout(TLayout newLayout);

    // Change notification.
    void Changed();
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void ResetTexts();

    // Cells.
    std::string GetCell(int record, int field) const { return std::string(CellView(record, field)); }
    std::string_view CellView(int record, int field) const;
    // Throws ERangeError for a record outside 1..RecordCount.
    void SetCell(int record, int field, const std::string& text);
    // Record r as stored; an empty record for r outside the records.
    const TDATA& Record(int r) const;
    // Several cells of one record, as SetCell would set them one after the
    // other (a later cell of the same field compares with the earlier one),
    // with the record rebuilt once and one change. Fields outside
    // 1..FieldCount are left out. Throws ERangeError as SetCell does.
    void SetCells(int record, std::span<const TCellText> cells);
    // Record `record` becomes `data` exactly as it is, without SetCell's
    // rewriting of Boolean texts: for texts as a database stores them (an
    // undo, a record of this database or a copy of it). A change when a
    // cell differs. Throws ERangeError as SetCell does.
    void SetRecord(int record, TDATA data);

    // Field definitions.
    int FieldCount() const;
    void SetFieldCount(int n);
    std::string GetFieldName(int f) const;
    void SetFieldName(int f, const std::string& name);
    int FieldIndexByName(const std::string& name) const;
    TFieldType GetFieldType(int f) const;
    void SetFieldType(int f, TFieldType type);
    std::string GetFieldTypeName(int f) const;
    int GetColumnWidth(int f) const;
    void SetColumnWidth(int f, int w);
    int GetSortField(int k) const;
    int FindField() const;
    std::string FindText() const;
    int FilterField() const;
    std::string FilterText() const;
    int FirstColumn() const;
    int DisplayWidth() const;
    int Category() const;
    bool ReadOnly() const;
    // The view settings above (field numbers and widths as the block keeps
    // them, 0..65535); each is a change only when it changes the block.
    void SetSortField(int k, int f);
    void SetFindField(int f);
    void SetFindText(const std::string& text);
    void SetFilterField(int f);
    void SetFilterText(const std::string& text);
    void SetFirstColumn(int f);
    void SetDisplayWidth(int w);
    // Category (0..15) and read-only flag, in the header's Version word or
    // the block's flags, as the layout keeps them.
    void SetCategoryAndReadOnly(int category, bool readOnly);
    // The most fields the layout holds; 0 without a definition block.
    int MaxFields() const;

    // Popup lists: at most kMaxSlots values each.
    int PopupCount(int f) const;
    // Longer popup values are cut to this when read.
    static constexpr size_t kLongestPopupValue = 255;
    std::string GetPopupItem(int f, int k) const;
    void SetPopupItem(int f, int k, const std::string& text);
    // Makes `items` the popup list of field f (at most 50 are kept; empty
    // items are left out, as an empty item would end the list). Unlike
    // SetPopupItem on a loaded database, no record's value is renamed.
    void SetPopupList(int f, const std::vector<std::string>& items);

    // Extras of the 5.x layouts.
    std::string GetDefault(int f) const;
    void SetDefault(int f, const std::string& text);
    std::string GetSavedSortName(int s) const;
    int GetSavedSortField(int s, int k) const;
    // Stores a saved sort (the file reader and the command-line tool use it).
    void SetSavedSort(int s, const std::string& name, const std::array<uint16_t, 3>& fields);
    FilterRec GetFilter(int s) const;
    void SetFilter(int s, const FilterRec& rec);

    // The definition and the settings beside it (jfile_copy.cpp): a copy;
    // whether `snapshot` holds what the database holds; and an exchange of
    // the two, which is a change.
    TDefinitionSnapshot Definition() const;
    bool HoldsDefinition(const TDefinitionSnapshot& snapshot) const;
    void SwapDefinition(TDefinitionSnapshot& snapshot);

    // Records. DeleteRecord and MoveField throw ERangeError for indexes out of
    // range, MoveRecords for a record or target out of range. DeleteRecord and
    // MoveRecords are virtual so that per-record state can follow.
    virtual void DeleteRecord(int r);
    // Exchanges the cells of two records. Virtual so that a subclass with
    // per-record state of its own keeps it in step.
    virtual void SwapRecords(int a, int b);
    virtual void MoveRecords(const std::vector<int>& moved, int target);
    // Puts the records in a new order: position p (from 1) receives old record
    // order[p - 1]; `order` is a permutation of 1..RecordCount. Notifies a change
    // when a cell changed. Virtual so that per-record state can follow.
    virtual void PermuteRecords(const std::vector<int>& order);
    // Puts `record` at position r (1..RecordCount + 1), as stored; those from
    // r on move up. Throws ERangeError for r out of range or a full database.
    void InsertRecord(int r, const TDATA& record);
    // Virtual so that a subclass keeping field numbers of its own (the
    // find's fields) moves them on every path, the undo's too.
    virtual void MoveField(int from, int to);

    // What SetCell stores for `text` in `field`: a Boolean field keeps the
    // TRUE and FALSE texts as "1" and "0". A view of `text` otherwise.
    std::string_view StoredText(int field, std::string_view text) const;

private:
    friend std::unique_ptr<TJFILE> CopyDatabase(const TJFILE& db, TRecordCopy records);
    friend std::unique_ptr<TJFILE> CopyDatabase(const TJFILE& db, const std::vector<int>& records, TRecordCopy copy);
    static std::unique_ptr<TJFILE> CopyOf(const TJFILE& db, const std::vector<int>* chosen, TRecordCopy records);
    // Applies `change` to the definition block; a change when a byte of it changed.
    void ChangeBlock(const std::function<void(TAppInfo&)>& change);
    void LoadImage(std::unique_ptr<TFileImage> image, const std::string& name);
    void ReadChunks(class ByteReader& in);
    void ReadRecords(class ByteReader& in, size_t listEntries, struct TLoadDamage& damage);
    void WriteChunks(TStream& out);
    // Sets the cells of a record; true when no cell is known to hold a NUL.
    using TCellsOf = std::function<bool(int record, std::array<std::string_view, kMaxSlots>& cells)>;
    void SaveRecords(TStream& out, const TCellsOf& cellsOf);
    void WriteRecords(TStream& out, const TCellsOf& cellsOf);
    void ConvertToOldLayout(TLayout newLayout);
    void ConvertToNewLayout(TLayout newLayout);

    std::unique_ptr<TAppInfo> appInfo_;
    std::vector<TDATA> records_;  // records_[r - 1] is record r
    std::array<std::unique_ptr<TDATA>, kMaxSlots> popupLists_;
    std::array<TSavedSort, 5> savedSorts_;
    std::array<std::string, kMaxSlots> defaults_;
    std::array<FilterRec, 5> filters_;
    bool modified_ = false;
    TLayout layout_ = TLayout::JFile55;
    TCharset charset_ = TCharset::Windows1252;
    int updateCount_ = 0;
    std::string trueText_ = "TRUE";
    std::string falseText_ = "FALSE";
    bool loaded_ = false;
    std::string loadWarning_;
    TLoadDamage loadDamage_;
};

// A copy of `db` held only in memory, without its file: header, definitions,
// records, popup lists and the extras of the 5.x layouts. Converting and
// saving the copy leaves `db` as it was. A borrowing copy refers to the
// records' bytes in `db`'s file image instead of copying them: it is made at
// once, but must not outlive `db` or a reload of it.
enum class TRecordCopy { Own, Borrow };
std::unique_ptr<TJFILE> CopyDatabase(const TJFILE& db, TRecordCopy records = TRecordCopy::Own);
// A copy holding only `records` (record numbers of `db`, in this order, each
// at most once). Throws ERangeError for a number outside the records.
std::unique_ptr<TJFILE> CopyDatabase(const TJFILE& db, const std::vector<int>& records,
                                     TRecordCopy copy = TRecordCopy::Own);

// Whether `text`, written as a popup value, would be read back as the
// header of the next chunk ("popupb", "deflta", ...), ending the list there.
// Every layout's tags count: a conversion to 5.x adds the others.
bool ReadsAsChunkHeader(std::string_view text);

// Creates a database whose file does not exist yet (or is replaced at the
// first save) and gives it the defaults of a new database.
template <class T = TJFILE, class... Args>
std::unique_ptr<T> CreateNew(const std::string& fileName, Args&&... args)
{
    auto db = std::make_unique<T>(std::forward<Args>(args)...);
    db->AttachStream(std::make_unique<TFileStream>(fileName, TFileStream::Mode::CreateOrOpen));
    db->InitNew();
    db->FileName = fileName;
    return db;
}

// Opens an existing file, locked against other writers, and loads it.
template <class T = TJFILE, class... Args>
std::unique_ptr<T> Open(const std::string& fileName, Args&&... args)
{
    auto db = std::make_unique<T>(std::forward<Args>(args)...);
    db->AttachStream(std::make_unique<TFileStream>(fileName, TFileStream::Mode::OpenExisting));
    db->Load();
    db->FileName = fileName;
    return db;
}

// Opens an existing file for reading only, without locking it (for tools
// that read a database the editor may have open), and loads it from a
// mapping of the file.
template <class T = TJFILE>
std::unique_ptr<T> OpenReadOnly(const std::string& fileName)
{
    auto db = std::make_unique<T>();
    db->AttachStream(std::make_unique<TFileStream>(fileName, TFileStream::Mode::ReadOnly));
    db->ImageSource = TPalmPilotDB::TImageSource::Map;
    db->Load();
    db->FileName = fileName;
    return db;
}

}  // namespace quorvil
