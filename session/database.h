#pragma once
// The database of one tab: the engine's model plus a visibility flag per
// record (the find and the filter row) and progress shown by the main window.
#include "disk_stamp.h"
#include "find_replace.h"
#include "jfile.h"
#include "record_filter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvil {

class TDataBase : public TJFILE {
public:
    using StatusSink = std::function<void(const std::string&)>;
    explicit TDataBase(StatusSink status = {});

    void InitNew() override;
    void Load() override;
    // Saving into the database's own file: its new state on disk is this
    // program's, not an outside change.
    void SaveWithName(const std::string& title) override;
    void SetRecordCount(uint16_t n) override;
    void SetModified() override;
    void Status(const std::string& text) override;
    // Records that change places take their flags along.
    void SwapRecords(int a, int b) override;
    void PermuteRecords(const std::vector<int>& order) override;
    // The deleted record's flag goes with it; those behind move down.
    void DeleteRecord(int r) override;
    // The fields the find searched move with their fields.
    void MoveField(int from, int to) override;
    // The same after fields were added, deleted or put in another order:
    // position p took field sources[p - 1] (0: a field added, not searched).
    void FollowFields(const std::vector<int>& sources);
    // Puts `record` at position r (1..RecordCount + 1) with its flag; those
    // from r on move up. Throws ERangeError for r out of range or a full
    // database.
    void InsertRecord(int r, const TDATA& record, int shown);
    // While set, every permutation of the records is appended to `log`
    // (null: none), so that it can be undone.
    void SetOrderLog(std::vector<std::vector<int>>* log) { orderLog_ = log; }
    std::vector<std::vector<int>>* OrderLog() const { return orderLog_; }

    // Flag of record k (from 1): 1 shown, 0 hidden by the find or the filter
    // row; 0 for k outside the records.
    int GetShown(int k) const;
    // The find's flag of record k; the filter row's stays. Ignored for k
    // outside the records.
    void SetShown(int k, int value);
    // Every record shown: the find and the filter row are both gone.
    void ShowAll();

    // The find in force, whose text the views highlight; an empty text is none.
    void SetLastFind(const std::string& text, bool caseSensitive, bool wordSearch, std::vector<bool> fields);
    // The filter row's boxes, with their result: passes[k] for record k + 1
    // (one per record; a shorter vector hides none). Records added later
    // are shown until the boxes change.
    void SetFilter(std::shared_ptr<const TRecordFilter> filter, const std::vector<uint8_t>& passes);
    const TRecordFilter* Filter() const { return filter_.get(); }
    // A cell the views highlight: it passes a filter box of its field, or
    // holds the find's text in a field the find searched.
    bool CellHighlighted(int record, int field) const;
    // Counts every change of the records' number or order (load, delete,
    // insert, sort), so that work over record numbers can tell it is stale.
    uint64_t OrderVersion() const { return orderVersion_; }

    // The file was opened for reading only (its permissions, folder or
    // disk): the database is shown, exported and searched, never edited or
    // saved into it.
    bool ReadOnlyFile() const { return Stream() && !Stream()->Writable(); }
    // How the file changed on disk since this program last read or wrote
    // it: removed, another file in its place, or rewritten; None for a
    // database without a file.
    TOutsideChange OutsideChange() const;
    // OutsideChange, once for each state of the disk: a change reported
    // before gives None until the file changes again (an outside write
    // notifies several times).
    TOutsideChange NewOutsideChange();
    // The file as it is now counts as reported (after the user was asked).
    void OutsideChangeSeen();

    // The file was made for this database by New and has not been saved by
    // the user: discarding the database removes it again.
    bool CreatedFile = false;

private:
    // Per record: kFound while the find shows it, kFilteredOut while the
    // filter row hides it; shown when exactly kFound.
    static constexpr uint8_t kFound = 1;
    static constexpr uint8_t kFilteredOut = 2;
    std::vector<uint8_t> shown_;
    std::shared_ptr<const TRecordFilter> filter_;
    std::unique_ptr<TFindText> findText_;
    bool findWords_ = false;
    std::vector<bool> findFields_;
    uint64_t orderVersion_ = 0;
    // Takes the file's state as this program's own (load, save).
    void NoteDiskState();
    // The open file's path, empty without one.
    std::string DiskName() const;

    StatusSink status_;
    TDiskStamp diskStamp_;
    std::optional<TDiskStamp> seen_;  // the state last reported
    std::vector<std::vector<int>>* orderLog_ = nullptr;
};

}  // namespace quorvil
