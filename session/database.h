#pragma once
// The database of one tab: the engine's model plus a visibility flag per
// record (the find filter) and progress shown by the main window.
#include "jfile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvil {

class TDataBase : public TJFILE {
public:
    using StatusSink = std::function<void(const std::string&)>;
    explicit TDataBase(StatusSink status = {});

    void InitNew() override;
    void Load() override;
    void SetRecordCount(uint16_t n) override;
    void SetModified() override;
    void Status(const std::string& text) override;
    // Records that change places take their flags along.
    void SwapRecords(int a, int b) override;
    void PermuteRecords(const std::vector<int>& order) override;
    // The deleted record's flag goes with it; those behind move down.
    void DeleteRecord(int r) override;
    // Puts `record` at position r (1..RecordCount + 1) with its flag; those
    // from r on move up. Throws ERangeError for r out of range or a full
    // database.
    void InsertRecord(int r, const TDATA& record, int shown);
    // While set, every permutation of the records is appended to `log`
    // (null: none), so that it can be undone.
    void SetOrderLog(std::vector<std::vector<int>>* log) { orderLog_ = log; }
    std::vector<std::vector<int>>* OrderLog() const { return orderLog_; }

    // Flag of record k (from 1): 1 shown, 0 hidden by the find filter; 0 for
    // k outside the records.
    int GetShown(int k) const;
    // Ignored for k outside the records.
    void SetShown(int k, int value);
    void ShowAll();

    // The file was opened for reading only (its permissions, folder or
    // disk): the database is shown, exported and searched, never edited or
    // saved into it.
    bool ReadOnlyFile() const { return Stream() && !Stream()->Writable(); }
    // The file was made for this database by New and has not been saved by
    // the user: discarding the database removes it again.
    bool CreatedFile = false;

private:
    std::vector<uint8_t> shown_;
    StatusSink status_;
    std::vector<std::vector<int>>* orderLog_ = nullptr;
};

}  // namespace quorvil
