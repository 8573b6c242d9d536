#pragma once
// The filter of a tab's grid, from the texts typed in its filter row to the
// database's flags: the run over the records, a slice at a time so that the
// window keeps answering on the largest database, and the timer between
// the slices.
#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

class QTimer;

namespace quorvil {

class TDatabaseModel;
class TExtendedGrid;
class TRecordFilter;

class TFilterRun : public QObject {
    Q_OBJECT
public:
    // Filters the database `model` shows by the boxes of `grid`, starting
    // whenever their texts change.
    TFilterRun(TExtendedGrid* grid, TDatabaseModel* model, QObject* parent);

    // A filter still waiting for a pause in typing, or still running over
    // the records, is completed at once.
    void Finish();
    // Empties the boxes and drops a run in progress; the records they hid
    // stay hidden until the database's flags say otherwise.
    void Clear();
    // The fields changed, `oldColumns` of them before: the filter is worked
    // out again, from empty boxes when fields were added or deleted.
    void Refilter(int oldColumns);

signals:
    // The result is in the database's flags: the views show it again.
    void Applied();

private:
    void Start();
    // Filters the next slice of records; the last slice applies the result.
    void Step(bool toTheEnd);
    void Drop();  // no run

    TExtendedGrid* grid_;
    TDatabaseModel* model_;
    QTimer* timer_;
    std::shared_ptr<const TRecordFilter> filter_;
    std::vector<uint8_t> passes_;
    int next_ = 0;          // the next record to filter; 0: no run
    uint64_t version_ = 0;  // the database's record order the run began with
};

}  // namespace quorvil
