#include "filter_run.h"

#include "command_guard.h"
#include "database.h"
#include "database_model.h"
#include "extended_grid.h"
#include "grid_header.h"
#include "record_filter.h"
#include "text_convert.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <string>

namespace quorvil {

TFilterRun::TFilterRun(TExtendedGrid* grid, TDatabaseModel* model, QObject* parent)
    : QObject(parent), grid_(grid), model_(model), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { RunCommand("FilterStep", [this] { Step(false); }); });
    connect(grid_, &TExtendedGrid::FilterChanged, this, [this] { RunCommand("StartFilter", [this] { Start(); }); });
}

void TFilterRun::Drop()
{
    filter_.reset();
    passes_.clear();
    next_ = 0;
}

void TFilterRun::Clear()
{
    grid_->ClearFilters();
    timer_->stop();
    Drop();
}

void TFilterRun::Start()
{
    TDataBase* db = model_->DataBase();
    timer_->stop();
    Drop();
    if (!db)
        return;
    const QStringList texts = grid_->FilterTexts();
    std::vector<TFilterBox> boxes;
    // A box whose text the database's set cannot hold is left out, red with
    // the reason, rather than filtering by some other text.
    QStringList refusals;
    for (int col = 0; col < texts.size(); ++col) {
        QString refusal;
        if (!texts[col].isEmpty())
            if (std::optional<std::string> text = FromQString(texts[col], db->Charset(), &refusal))
                boxes.push_back({col + 1, std::move(*text)});
        refusals << refusal;
    }
    auto filter = std::make_shared<const TRecordFilter>(*db, boxes);
    for (int col = 0; col < texts.size(); ++col) {
        const QString problem = refusals[col].isEmpty() ? ToQString(filter->ProblemOf(col + 1), db->Charset())
                                                        : refusals[col];
        grid_->Header()->SetFilterProblem(col, problem);
    }
    if (!filter->Active() && !db->Filter())
        return;  // nothing filtered before or now
    filter_ = std::move(filter);
    passes_.assign(size_t(db->RecordCount()), 1);
    next_ = 1;
    version_ = db->OrderVersion();
    Step(false);
}

void TFilterRun::Step(bool toTheEnd)
{
    TDataBase* db = model_->DataBase();
    if (!db || next_ == 0)
        return;
    if (db->OrderVersion() != version_ || passes_.size() != size_t(db->RecordCount())) {
        // Records came, went or moved since the run began: it starts again.
        passes_.assign(size_t(db->RecordCount()), 1);
        next_ = 1;
        version_ = db->OrderVersion();
    }
    // Slices of about 20 ms leave the window free between them.
    constexpr int kSlice = 2048;
    constexpr qint64 kBudgetMs = 20;
    constexpr int kWaitMs = 100;
    QElapsedTimer clock;
    clock.start();
    while (next_ <= db->RecordCount()) {
        const int last = std::min(int(db->RecordCount()), next_ + kSlice - 1);
        if (filter_->Active())
            FilterRecords(*db, *filter_, next_, last, passes_);
        next_ = last + 1;
        if (!toTheEnd && next_ <= db->RecordCount() && clock.elapsed() >= kBudgetMs) {
            timer_->start(0);
            return;
        }
    }
    // While a dialog is open or a cell is being edited, rows must keep their
    // records: the result waits (Finish applies it at once).
    QWidget* focus = QApplication::focusWidget();
    if (!toTheEnd && (QApplication::activeModalWidget() || (focus && grid_->viewport()->isAncestorOf(focus)))) {
        timer_->start(kWaitMs);
        return;
    }
    db->SetFilter(filter_, passes_);
    Drop();
    emit Applied();
}

void TFilterRun::Finish()
{
    grid_->FlushFilter();
    timer_->stop();
    Step(true);
}

void TFilterRun::Refilter(int oldColumns)
{
    const TDataBase* db = model_->DataBase();
    if (!db || (!db->Filter() && grid_->FilterTexts().join(QString()).isEmpty()))
        return;
    // With fields added or deleted a box may stand over another field than
    // the one it was typed for; the boxes start again empty.
    if (model_->columnCount() != oldColumns)
        grid_->ClearFilters();
    Start();
}

}  // namespace quorvil
