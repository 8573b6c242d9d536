#include "undo_steps.h"

#include "database.h"
#include "errors.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quorvil {

namespace {

// A string's heap bytes: short ones live inside the object.
size_t HeapBytes(const std::string& text)
{
    return text.capacity() > std::string().capacity() ? text.capacity() + 1 : 0;
}

size_t RecordBytes(const TDATA& record)
{
    return sizeof(TDATA) + record.TextBytes() + kMaxSlots * sizeof(uint16_t);
}

// The cells' texts as stored, written back without the setter's rewriting
// (a Boolean's TRUE, say), so that a swap restores the exact bytes.
class TCellsStep : public TUndoStep {
public:
    struct Cell {
        int Record;
        int Field;
        std::string Text;  // what the database does not hold at the moment
    };

    explicit TCellsStep(std::vector<Cell> cells, bool merges = false) : cells_(std::move(cells)), merges_(merges) {}
    void Undo(TDataBase& db) override { Swap(db); }
    void Redo(TDataBase& db) override { Swap(db); }
    int Record() const override { return cells_.empty() ? 0 : cells_.front().Record; }
    int Field() const override { return cells_.empty() ? 0 : cells_.front().Field; }
    bool Merges() const override { return merges_ && !cells_.empty(); }
    void Absorb(const TUndoStep& next) override
    {
        // A cell only the later edit changed (a stamp whose minute turned
        // meanwhile) held before this step what it held before that one.
        const auto* cells = dynamic_cast<const TCellsStep*>(&next);
        if (!cells)
            return;
        for (const Cell& cell : cells->cells_)
            if (std::none_of(cells_.begin(), cells_.end(),
                             [&](const Cell& held) { return held.Record == cell.Record && held.Field == cell.Field; }))
                cells_.push_back(cell);
    }
    size_t Bytes() const override
    {
        size_t total = sizeof(*this) + cells_.capacity() * sizeof(Cell);
        for (const Cell& cell : cells_)
            total += HeapBytes(cell.Text);
        return total;
    }

private:
    void Swap(TDataBase& db)
    {
        for (const Cell& cell : cells_)
            if (cell.Record < 1 || cell.Record > db.RecordCount())
                throw ERangeError(FormatMessage("SetCell: Record index out of range (%d)", cell.Record));
        // Each record is rebuilt once for the cells it holds in a row.
        for (size_t k = 0; k < cells_.size();) {
            const int r = cells_[k].Record;
            TDATA record = db.Record(r);
            for (; k < cells_.size() && cells_[k].Record == r; ++k) {
                Cell& cell = cells_[k];
                std::string now = record.GetField(cell.Field);
                record.SetField(cell.Field, cell.Text);
                cell.Text = std::move(now);
            }
            db.SetRecord(r, std::move(record));
        }
        db.Changed();
    }

    std::vector<Cell> cells_;
    bool merges_;
};

class TOrderStep : public TUndoStep {
public:
    explicit TOrderStep(std::vector<int> order) : order_(std::move(order)) {}
    void Redo(TDataBase& db) override { db.PermuteRecords(order_); }
    void Undo(TDataBase& db) override
    {
        std::vector<int> inverse(order_.size());
        for (size_t p = 0; p < order_.size(); ++p)
            inverse[size_t(order_[p] - 1)] = int(p) + 1;
        db.PermuteRecords(inverse);
    }
    size_t Bytes() const override { return sizeof(*this) + order_.capacity() * sizeof(int); }

private:
    std::vector<int> order_;  // position p + 1 received old record order_[p]
};

class TFieldMoveStep : public TUndoStep {
public:
    TFieldMoveStep(int from, int to, std::function<void(int, int)> move) : from_(from), to_(to), move_(std::move(move))
    {
    }
    void Redo(TDataBase& db) override { Move(db, from_, to_); }
    void Undo(TDataBase& db) override { Move(db, to_, from_); }
    bool Definition() const override { return true; }
    size_t Bytes() const override { return sizeof(*this); }

private:
    void Move(TDataBase& db, int from, int to)
    {
        if (move_)
            move_(from, to);
        else
            db.MoveField(from, to);
    }

    int from_;
    int to_;
    std::function<void(int, int)> move_;
};

class TRemovalStep : public TUndoStep {
public:
    TRemovalStep(int record, TDATA data, int shown) : record_(record), data_(std::move(data)), shown_(shown) {}
    void Redo(TDataBase& db) override { db.DeleteRecord(record_); }
    void Undo(TDataBase& db) override { db.InsertRecord(record_, data_, shown_); }
    int Record() const override { return record_; }
    size_t Bytes() const override { return sizeof(*this) + RecordBytes(data_); }

private:
    int record_;
    TDATA data_;
    int shown_;
};

// Records appended at the end, as they were when the command ended.
class TAppendStep : public TUndoStep {
public:
    explicit TAppendStep(std::vector<TDATA> records) : records_(std::move(records)) {}
    void Redo(TDataBase& db) override
    {
        for (const TDATA& record : records_)
            db.InsertRecord(db.RecordCount() + 1, record, 1);
    }
    void Undo(TDataBase& db) override
    {
        if (db.RecordCount() < int(records_.size()))
            throw ERangeError(FormatMessage("Delete: Record index out of range (%d)", db.RecordCount()));
        for (size_t k = 0; k < records_.size(); ++k)
            db.DeleteRecord(db.RecordCount());
    }
    int Record() const override { return -1; }  // the last record
    size_t Bytes() const override
    {
        size_t total = sizeof(*this);
        for (const TDATA& record : records_)
            total += RecordBytes(record);
        return total;
    }

private:
    std::vector<TDATA> records_;
};

class TFieldCellsStep : public TUndoStep {
public:
    TFieldCellsStep(TFieldCells back, std::function<void(const TFieldSources&)> follow)
        : change_(std::move(back)), follow_(std::move(follow))
    {
    }
    void Undo(TDataBase& db) override { Apply(db); }
    void Redo(TDataBase& db) override { Apply(db); }
    bool Definition() const override { return true; }
    size_t Bytes() const override
    {
        size_t total = sizeof(*this) + change_.Sources.capacity() * sizeof(int);
        for (const auto& cells : change_.Added)
            for (const std::string& text : cells)
                total += sizeof(std::string) + HeapBytes(text);
        return total;
    }

private:
    void Apply(TDataBase& db)
    {
        const TFieldSources sources = change_.Sources;
        change_ = RearrangeCells(db, change_);
        db.FollowFields(sources);
        if (follow_)
            follow_(sources);
    }

    TFieldCells change_;  // what the database does not hold at the moment
    std::function<void(const TFieldSources&)> follow_;
};

// Field definitions and the settings kept beside them: a few kilobytes.
size_t DefinitionBytes(const TDefinitionSnapshot& state)
{
    size_t total = sizeof(state) + (state.AppInfo ? sizeof(TAppInfo) + state.AppInfo->Block().capacity() : 0);
    for (const auto& list : state.PopupLists)
        total += list ? RecordBytes(*list) : 0;
    for (const std::string& text : state.Defaults)
        total += HeapBytes(text);
    return total;
}

class TDefinitionStep : public TUndoStep {
public:
    explicit TDefinitionStep(TDefinitionSnapshot before) : state_(std::move(before)) {}
    void Undo(TDataBase& db) override { db.SwapDefinition(state_); }
    void Redo(TDataBase& db) override { db.SwapDefinition(state_); }
    bool Definition() const override { return true; }
    size_t Bytes() const override { return DefinitionBytes(state_); }

private:
    TDefinitionSnapshot state_;
};

}  // namespace

std::unique_ptr<TUndoStep> CellStep(int record, std::vector<TCellBefore> before, bool merges)
{
    std::vector<TCellsStep::Cell> cells;
    cells.reserve(before.size());
    for (TCellBefore& cell : before)
        cells.push_back({record, cell.Field, std::move(cell.Text)});
    return std::make_unique<TCellsStep>(std::move(cells), merges);
}

std::unique_ptr<TUndoStep> FieldMoveStep(int from, int to, std::function<void(int, int)> move)
{
    return std::make_unique<TFieldMoveStep>(from, to, std::move(move));
}

std::unique_ptr<TUndoStep> FieldCellsStep(TFieldCells back, std::function<void(const TFieldSources&)> follow)
{
    return std::make_unique<TFieldCellsStep>(std::move(back), std::move(follow));
}

std::unique_ptr<TUndoStep> RemovalStep(const TDataBase& db, int record)
{
    if (record < 1 || record > db.RecordCount())
        return nullptr;
    return std::make_unique<TRemovalStep>(record, db.Record(record), db.GetShown(record));
}

struct TChangeRecorder::State {
    TDataBase& Db;
    TDefinitionSnapshot Definition;
    int Count;
    std::vector<std::vector<int>> Orders;
    std::vector<std::vector<int>>* OuterLog;
    std::vector<std::unique_ptr<TUndoStep>> Removals;
    std::vector<std::unique_ptr<TUndoStep>> Added;
    std::vector<TDATA> Before;  // borrowed: lives only while the command runs
    std::vector<TCellsStep::Cell> Cells;

    explicit State(TDataBase& db)
        : Db(db), Definition(db.Definition()), Count(db.RecordCount()), OuterLog(db.OrderLog())
    {
    }

    std::vector<std::unique_ptr<TUndoStep>> Steps()
    {
        const int kept = Count - int(Removals.size());
        std::vector<int> order = Reordering();
        if (!Before.empty() && Removals.empty() && order.empty())
            DiffCells();  // positions are still the records they were
        std::vector<std::unique_ptr<TUndoStep>> steps = std::move(Removals);
        if (!order.empty())
            steps.push_back(std::make_unique<TOrderStep>(std::move(order)));
        if (!Cells.empty())
            steps.push_back(std::make_unique<TCellsStep>(std::move(Cells)));
        if (Db.RecordCount() > kept) {
            std::vector<TDATA> appended;
            for (int r = kept + 1; r <= Db.RecordCount(); ++r)
                appended.push_back(Db.Record(r));
            steps.push_back(std::make_unique<TAppendStep>(std::move(appended)));
        }
        if (!Db.HoldsDefinition(Definition))
            steps.push_back(std::make_unique<TDefinitionStep>(std::move(Definition)));
        for (auto& step : Added)
            steps.push_back(std::move(step));
        return steps;
    }

    // One permutation that does what all the logged ones did in turn; empty
    // when no record moved (a sort of records already in order is no change).
    std::vector<int> Reordering() const
    {
        if (Orders.empty())
            return {};
        std::vector<int> order = Orders.front();
        for (size_t k = 1; k < Orders.size(); ++k) {
            std::vector<int> next(Orders[k].size());
            for (size_t p = 0; p < next.size(); ++p)
                next[p] = order[size_t(Orders[k][p] - 1)];
            order = std::move(next);
        }
        for (size_t p = 0; p < order.size(); ++p)
            if (order[p] != int(p) + 1)
                return order;
        return {};
    }

    void DiffCells()
    {
        std::array<std::string_view, kMaxSlots> was;
        std::array<std::string_view, kMaxSlots> now;
        const size_t common = std::min(Before.size(), size_t(Db.RecordCount()));
        for (size_t r = 0; r < common; ++r) {
            Before[r].Texts(was);
            Db.Record(int(r) + 1).Texts(now);
            for (size_t f = 0; f < was.size(); ++f)
                if (was[f] != now[f])
                    Cells.push_back({int(r) + 1, int(f) + 1, std::string(was[f])});
        }
    }
};

TChangeRecorder::TChangeRecorder(TDataBase& db) : state_(std::make_unique<State>(db))
{
    db.SetOrderLog(&state_->Orders);
}

TChangeRecorder::~TChangeRecorder()
{
    if (state_)
        state_->Db.SetOrderLog(state_->OuterLog);
}

TDataBase& TChangeRecorder::DataBase() const
{
    return state_->Db;
}

void TChangeRecorder::AddRemoval(int record)
{
    if (auto step = RemovalStep(state_->Db, record))
        state_->Removals.push_back(std::move(step));
}

void TChangeRecorder::AddStep(std::unique_ptr<TUndoStep> step)
{
    if (step)
        state_->Added.push_back(std::move(step));
}

void TChangeRecorder::TrackCells()
{
    State& s = *state_;
    s.Before.clear();
    s.Before.reserve(s.Db.RecordCount());
    for (int r = 1; r <= s.Db.RecordCount(); ++r)
        s.Before.push_back(TDATA::Borrowed(s.Db.Record(r)));
}

std::vector<std::unique_ptr<TUndoStep>> TChangeRecorder::Finish()
{
    State& s = *state_;
    s.Db.SetOrderLog(s.OuterLog);
    std::vector<std::unique_ptr<TUndoStep>> steps = s.Steps();
    state_.reset();
    return steps;
}

}  // namespace quorvil
