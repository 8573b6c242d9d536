// A seeded random sequence of the editor's commands, through the window's
// actions, keys and dialogs, with what must always hold checked after every
// step. QUORVIL_MONKEY_SEED and QUORVIL_MONKEY_STEPS choose the run
// (scripts/monkey.sh); a failure names the seed, the step and the last
// commands.
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "modal.h"
#include "monkey_answers.h"
#include "note_edit.h"
#include "record_commands.h"
#include "record_list_model.h"
#include "record_panel.h"
#include "text_convert.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTest>
#include <QUndoStack>

#include <deque>
#include <filesystem>
#include <map>
#include <random>

using namespace quorvil;
using namespace quorvil::test;

namespace {

// Where two contents part, for the failure's message.
QString Difference(const Rows& a, const Rows& b)
{
    for (size_t r = 0; r < std::max(a.size(), b.size()); ++r) {
        if (r >= a.size() || r >= b.size())
            return FromUtf8(" (%1 rows against %2)").arg(a.size()).arg(b.size());
        if (a[r] != b[r]) {
            QStringList left, right;
            for (const std::string& cell : a[r])
                left << ToQString(cell, TCharset::Windows1252);
            for (const std::string& cell : b[r])
                right << ToQString(cell, TCharset::Windows1252);
            return FromUtf8(" (row %1: [%2] against [%3])")
                .arg(r)
                .arg(left.join(FromUtf8("|")), right.join(FromUtf8("|")));
        }
    }
    return {};
}

QByteArray Digest(const QString& path)
{
    return QCryptographicHash::hash(FileBytes(path), QCryptographicHash::Sha1);
}

// A file's size and time of change to the nanosecond: in the working
// folder, whose files grow with every export, a digest each step costs too much.
QByteArray Stamp(const QString& path)
{
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(QStringToPath(path), ec);
    const auto size = std::filesystem::file_size(QStringToPath(path), ec);
    return QByteArray::number(qulonglong(size)) + ':' + QByteArray::number(qlonglong(time.time_since_epoch().count()));
}

// Every file under `folder` with its digest (or stamp).
std::map<QString, QByteArray> Digests(const QString& folder, QByteArray (*of)(const QString&) = Digest)
{
    std::map<QString, QByteArray> digests;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        digests[path] = of(path);
    }
    return digests;
}

uint32_t EnvNumber(const char* name, uint32_t fallback)
{
    bool ok = false;
    const uint32_t value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

// A database of every field type the grid edits, 2,000 records.
std::string MakeLarge(const QString& folder)
{
    const std::vector<FieldSpec> fields = {{"Name", TFieldType::String, {}},
                                           {"Qty", TFieldType::Integer, {}},
                                           {"Price", TFieldType::Float, {}},
                                           {"Paid", TFieldType::Boolean, {}},
                                           {"Due", TFieldType::Date, {}},
                                           {"At", TFieldType::Time, {}},
                                           {"Colour", TFieldType::List, {"Red", "Green", "Blue"}},
                                           {"Notes", TFieldType::String, {}}};
    std::mt19937 random(7);
    Rows rows;
    for (int r = 0; r < 2000; ++r) {
        const int n = int(random() % 1000);
        rows.push_back({"item " + std::to_string(n), std::to_string(n - 100), std::to_string(n) + ".25",
                        n % 2 ? "1" : "0", std::to_string(1 + n % 28) + "/0" + std::to_string(1 + n % 9) + "/2003",
                        std::to_string(n % 24) + ":0" + std::to_string(n % 10), n % 3 ? "Red" : "Blue",
                        n % 5 ? "" : "line one\nline two"});
    }
    return MakeDatabase(folder, "Large.PDB", "Large", fields, rows);
}

struct Weighted {
    const char* what;  // an action's name, or a step of the monkey's own (lower case)
    int weight;
};

const Weighted kSteps[] = {
    {"type", 24},
    {"moverecord", 5},
    {"movefield", 3},
    {"headersort", 4},
    {"tab", 4},
    {"undocheck", 3},
    {"AddBtn", 6},
    {"DelBtn", 4},
    {"UndoItem", 10},
    {"RedoItem", 5},
    {"SortBtn", 3},
    {"FindBtn", 4},
    {"ReplaceBtn", 3},
    {"AllBtn", 3},
    {"GridBtn", 3},
    {"ListBtn", 2},
    {"RecBtn", 2},
    {"SaveBtn", 4},
    {"SaveFileAsItem", 1},
    {"SaveAsJF3Item", 1},
    {"SaveAsJF4Item", 1},
    {"SaveAsJF5Item", 1},
    {"SaveAsJF55Item", 1},
    {"SaveCSV", 1},
    {"SaveHTM", 1},
    {"SaveTXT", 1},
    {"ExportToCSVasItem", 1},
    {"SplitBtn", 1},
    {"copy", 2},
    {"MergeItem", 1},
    {"ImportCsvItem", 1},
    {"EditBtn", 3},
    {"LoadBtn", 1},
    {"CloseBtn", 1},
    {"NewBtn", 1},
    {"RearrangeItem", 1},
    {"anyaction", 3},
};

class Monkey {
public:
    Monkey(TMainForm& form, const QString& folder, uint32_t seed)
        : form_(form), folder_(folder), random_(seed), answers_(random_, folder)
    {
        SetModalFallback([this](QDialog& d) { answers_.Answer(d); });
        files_ = Digests(folder_, Stamp);
    }
    ~Monkey() { SetModalFallback({}); }

    // One random step; its description.
    QString Step()
    {
        int total = 0;
        for (const Weighted& w : kSteps)
            total += w.weight;
        int pick = Below(total);
        const Weighted* chosen = &kSteps[0];
        for (const Weighted& w : kSteps) {
            if (pick < w.weight) {
                chosen = &w;
                break;
            }
            pick -= w.weight;
        }
        QString done = FromUtf8(chosen->what);
        if (!form_.Tabs()->CurrentDB() && Below(4) > 0)
            done = FromUtf8("LoadBtn");
        if (done.at(0).isUpper()) {
            PickCell();
            Trigger(done);
        } else {
            done = Own(done);
        }
        // Messages a refused edit posts come with the next events.
        for (int k = 0; k < 4; ++k)
            QApplication::processEvents();
        return done;
    }

    // What does not hold after the last step; empty when everything does.
    QString Check()
    {
        for (const QString& message : answers_.TakeMessages()) {
            if (qEnvironmentVariableIsSet("QUORVIL_MONKEY_TRACE"))
                qInfo("  message: %s", qPrintable(message.left(200)));
            for (const char* fault : {"out of range", "Unknown error", "Out of memory", "basic_string", "vector"})
                if (message.contains(QLatin1String(fault)))
                    return FromUtf8("the program reported an internal error: ") + message;
        }
        TDatabaseTabs& tabs = *form_.Tabs();
        std::map<const TDataBase*, Saved> kept;
        for (int tab = 0; tab < 8; ++tab) {
            const TDataBase* db = tabs.TabShown(tab) ? tabs.DataBase(tab) : nullptr;
            if (!db)
                continue;
            if (QString problem = CheckViews(*tabs.Page(tab), *db); !problem.isEmpty())
                return FromUtf8("tab %1: ").arg(tab) + problem;
            const QString file = PathToQString(db->FileName);
            if (!file.startsWith(folder_ + QLatin1Char('/')))
                return FromUtf8("tab %1 shows a file outside the working folder: ").arg(tab) + file;
            Saved saved = saved_.count(db) ? saved_[db] : Saved{};
            if (saved.File != file)
                saved = Saved{};  // another database in the tab
            if (!db->Modified()) {
                const QByteArray digest = Stamp(file);
                if (saved.Known && saved.File == file && saved.Digest == digest) {
                    if (Content(*db) != saved.Cells)
                        return FromUtf8("tab %1 changed with no modified mark").arg(tab);
                } else {
                    // Just opened or saved: the file holds what the tab shows.
                    Rows content = Content(*db);
                    try {
                        if (Content(*OpenReadOnly<TJFILE>(db->FileName)) != content)
                            return FromUtf8("tab %1: the file differs from what the tab shows: ").arg(tab) + file;
                    } catch (const std::exception& e) {
                        return FromUtf8("tab %1: its file does not load: %2").arg(tab).arg(FromUtf8(e.what()));
                    }
                    saved = {true, file, digest, std::move(content)};
                }
            } else if (const QUndoStack* stack = tabs.Page(tab)->UndoStack();
                       saved.Known && stack->index() == stack->cleanIndex() && Content(*db) != saved.Cells) {
                return FromUtf8("tab %1 changed with nothing to undo").arg(tab);
            }
            kept[db] = std::move(saved);
        }
        saved_ = std::move(kept);
        return CheckFiles();
    }

    QString UndoCheck()
    {
        TDataBase* db = form_.Tabs()->CurrentDB();
        if (!db)
            return {};
        TDatabasePage& page = *form_.Tabs()->Page(form_.Tabs()->CurrentTab());
        QUndoStack& stack = *page.UndoStack();
        const auto saved = saved_.find(db);
        if (stack.cleanIndex() < 0 || saved == saved_.end() || !saved->second.Known)
            return {};
        const int at = stack.index();
        const bool modified = db->Modified();
        const Rows now = Content(*db);
        stack.setIndex(stack.cleanIndex());
        if (Content(*db) != saved->second.Cells)
            return FromUtf8("undoing to the saved state gives other cells (from %1 to %2)")
                       .arg(at)
                       .arg(stack.cleanIndex()) +
                   Difference(Content(*db), saved->second.Cells);
        if (db->Modified())
            return FromUtf8("the saved state, reached by undo, is marked modified");
        if (QString problem = CheckViews(page, *db); !problem.isEmpty())
            return FromUtf8("at the saved state: ") + problem;
        stack.setIndex(at);
        if (Content(*db) != now) {
            QStringList commands;
            for (int k = 0; k < stack.count(); ++k)
                commands << stack.text(k);
            return FromUtf8("redoing to step %1 gives other cells").arg(at) + Difference(Content(*db), now) +
                   FromUtf8(" history: ") + commands.join(FromUtf8(", ")) + FromUtf8(" fields: ") +
                   Difference(Rows{{}}, Rows{now[0]});
        }
        if (db->Modified() != modified)
            return FromUtf8("the modified mark changed by undo and redo");
        return {};
    }

    // The last command of the current tab undone and redone: the same cells.
    QString UndoRedoCheck()
    {
        TDataBase* db = form_.Tabs()->CurrentDB();
        if (!db)
            return {};
        QUndoStack& stack = *form_.Tabs()->Page(form_.Tabs()->CurrentTab())->UndoStack();
        if (!stack.canUndo())
            return {};
        const Rows now = Content(*db);
        const bool modified = db->Modified();
        const QString command = stack.undoText();
        stack.undo();
        stack.redo();
        if (Content(*db) != now)
            return FromUtf8("undoing and redoing \"%1\" gives other cells").arg(command) +
                   Difference(Content(*db), now);
        if (db->Modified() != modified)
            return FromUtf8("undoing and redoing \"%1\" changes the modified mark").arg(command);
        return {};
    }

    // Files written since the last step load; nothing outside the working
    // folder changes.
    QString CheckFiles()
    {
        std::map<QString, QByteArray> now = Digests(folder_, Stamp);
        for (const auto& [path, digest] : now) {
            const auto before = files_.find(path);
            if (!path.endsWith(QLatin1String(".PDB"), Qt::CaseInsensitive) ||
                (before != files_.end() && before->second == digest))
                continue;
            try {
                OpenReadOnly<TJFILE>(QStringToPath(path));
            } catch (const std::exception& e) {
                return FromUtf8("a written file does not load: %1: %2").arg(path, FromUtf8(e.what()));
            }
        }
        files_ = std::move(now);
        return {};
    }

private:
    struct Saved {
        bool Known = false;
        QString File;
        QByteArray Digest;
        Rows Cells;
    };

    int Below(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random_); }

    QString CheckViews(TDatabasePage& page, const TDataBase& db)
    {
        int shown = 0;
        for (int r = 1; r <= db.RecordCount(); ++r)
            shown += db.GetShown(r) != 0;
        if (page.Model()->rowCount() != shown)
            return FromUtf8("the grid has %1 rows for %2 records shown").arg(page.Model()->rowCount()).arg(shown);
        if (page.Model()->columnCount() != db.FieldCount())
            return FromUtf8("the grid has %1 columns for %2 fields")
                .arg(page.Model()->columnCount())
                .arg(db.FieldCount());
        if (page.ViewMode() == TViewMode::List && page.ListModel()->rowCount() != shown)
            return FromUtf8("the list has %1 lines for %2 records shown").arg(page.ListModel()->rowCount()).arg(shown);
        return {};
    }

    TDatabasePage* CurrentPage() const
    {
        return form_.Tabs()->CurrentDB() ? form_.Tabs()->Page(form_.Tabs()->CurrentTab()) : nullptr;
    }

    // A random current cell, so that commands on "the current record" vary.
    void PickCell()
    {
        TDatabasePage* page = CurrentPage();
        if (!page || page->Model()->rowCount() == 0 || page->Model()->columnCount() == 0)
            return;
        const QModelIndex cell = page->Model()->index(Below(page->Model()->rowCount()),
                                                      Below(page->Model()->columnCount()));
        page->Grid()->setCurrentIndex(cell);
        if (page->ViewMode() == TViewMode::List)
            page->ListBox()->setCurrentIndex(page->ListModel()->index(cell.row(), 0));
        else if (page->ViewMode() == TViewMode::Record)
            page->EditPanel()->ShowRow(cell.row());
    }

    void Trigger(const QString& name)
    {
        if (QAction* action = form_.Action(qPrintable(name)); action && action->isEnabled())
            action->trigger();
    }

    QString Own(const QString& what)
    {
        TDatabasePage* page = CurrentPage();
        if (what == QLatin1String("tab")) {
            QList<int> shown;
            for (int tab = 0; tab < 8; ++tab)
                if (form_.Tabs()->TabShown(tab))
                    shown << tab;
            if (!shown.isEmpty())
                form_.Tabs()->setCurrentIndex(shown[Below(int(shown.size()))]);
            return what;
        }
        if (what == QLatin1String("undocheck")) {
            pendingProblem_ = UndoCheck();
            return what;
        }
        if (what == QLatin1String("anyaction")) {
            QList<QAction*> actions;
            for (QAction* action : form_.findChildren<QAction*>())
                if (!action->objectName().isEmpty() && action->objectName() != QLatin1String("ExitProgItem"))
                    actions << action;
            QAction* action = actions[Below(int(actions.size()))];
            PickCell();
            emit form_.Records().PopupMenu()->aboutToShow();
            if (action->isEnabled() && action->isVisible())
                action->trigger();
            return action->objectName();
        }
        if (what == QLatin1String("copy")) {
            PickCell();
            emit form_.Records().PopupMenu()->aboutToShow();
            QList<QAction*> copies;
            for (QAction* action : form_.Records().PopupMenu()->actions())
                if (action->objectName().startsWith(QLatin1String("Copy")) && action->isVisible() &&
                    action->isEnabled())
                    copies << action;
            if (copies.isEmpty())
                return what;
            QAction* action = copies[Below(int(copies.size()))];
            action->trigger();
            return action->objectName();
        }
        if (!page)
            return what + FromUtf8(" (no tab)");
        const int rows = page->Model()->rowCount();
        const int columns = page->Model()->columnCount();
        if (rows == 0 || columns == 0)
            return what + FromUtf8(" (empty)");
        if (what == QLatin1String("moverecord")) {
            PickCell();
            page->MoveSelection(Below(2) ? 1 : -1);
        } else if (what == QLatin1String("movefield")) {
            page->Grid()->horizontalHeader()->moveSection(Below(columns), Below(columns));
        } else if (what == QLatin1String("headersort")) {
            page->HeaderClick(Below(columns));
        } else if (what == QLatin1String("type")) {
            return Type(*page);
        }
        return what;
    }

    // Types a token into a cell of the grid, or into a field of the list or
    // record view, as a person does: keys, then Enter or Tab (or Escape).
    QString Type(TDatabasePage& page)
    {
        PickCell();
        const QString text = answers_.Token();
        if (page.ViewMode() != TViewMode::Grid) {
            const int field = Below(page.Model()->columnCount()) + 1;
            QWidget* editor = page.EditPanel()->Editor(field);
            auto* line = qobject_cast<QLineEdit*>(editor);
            auto* note = qobject_cast<TNoteEdit*>(editor);
            if ((!line && !note) || !editor->isVisible() || (line ? line->isReadOnly() : note->isReadOnly()))
                return FromUtf8("type (no line)");
            editor->setFocus();
            if (line)
                line->selectAll();
            else
                note->selectAll();
            QTest::keyClicks(editor, text);
            QTest::keyClick(editor, Qt::Key_Tab);
            return FromUtf8("type \"%1\" into field %2").arg(text).arg(field);
        }
        QAbstractItemView* grid = page.Grid();
        const QModelIndex cell = grid->currentIndex();
        grid->setFocus();
        QWidget* editor = grid->indexWidget(cell);
        if (!editor) {
            QTest::keyClick(grid, Qt::Key_F2);
            editor = QApplication::focusWidget();
        }
        if (!editor || editor == grid)
            return FromUtf8("type (no editor)");
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Below(10) == 0 ? Qt::Key_Escape : Qt::Key_Return);
        return FromUtf8("type \"%1\" into row %2 column %3").arg(text).arg(cell.row()).arg(cell.column());
    }

public:
    QString TakePending()
    {
        QString problem;
        problem.swap(pendingProblem_);
        return problem;
    }

private:
    TMainForm& form_;
    QString folder_;
    std::mt19937 random_;
    TMonkeyAnswers answers_;
    std::map<const TDataBase*, Saved> saved_;
    std::map<QString, QByteArray> files_;
    QString pendingProblem_;
};

}  // namespace

class MonkeyTest : public GuiCase {
    Q_OBJECT

private slots:
    void random_commands_keep_every_invariant()
    {
        const uint32_t seed = EnvNumber("QUORVIL_MONKEY_SEED", 1);
        const int steps = int(EnvNumber("QUORVIL_MONKEY_STEPS", 300));
        const QString work = data_->path();
        // Relative names a dialog is given land in the working folder too.
        const QString wasCurrent = QDir::currentPath();
        QDir::setCurrent(work);
        QStringList files{PathToQString(MakeLarge(work))};
        const QString samples = qEnvironmentVariable("QUORVIL_SAMPLES");
        for (const QString& name : QDir(samples).entryList({FromUtf8("*.PDB")}, QDir::Files)) {
            QVERIFY(QFile::copy(QDir(samples).filePath(name), QDir(work).filePath(name)));
            files << QDir(work).filePath(name);
        }
        // A folder beside the working one, and the samples: never touched.
        QTemporaryDir beside;
        QVERIFY(QFile::copy(files.last(), beside.filePath(FromUtf8("Kept.PDB"))));
        const auto outside = Digests(beside.path());
        const auto sampleFiles = Digests(samples);

        auto form = StartMainForm(files);
        form->activateWindow();  // focus and shortcuts work in the active window only
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        {
            Monkey monkey(*form, work, seed);
            std::deque<QString> recent;
            QString problem = monkey.Check();
            for (int step = 1; step <= steps && problem.isEmpty(); ++step) {
                recent.push_back(monkey.Step());
                if (recent.size() > 12)
                    recent.pop_front();
                if (qEnvironmentVariableIsSet("QUORVIL_MONKEY_TRACE"))
                    qInfo("%d %s", step, qPrintable(recent.back()));
                problem = monkey.TakePending();
                if (problem.isEmpty())
                    problem = monkey.Check();
                if (problem.isEmpty())
                    problem = monkey.UndoRedoCheck();
                if (problem.isEmpty() && (Digests(beside.path()) != outside || Digests(samples) != sampleFiles))
                    problem = FromUtf8("a file outside the working folder changed");
                if (!problem.isEmpty()) {
                    QStringList last(recent.begin(), recent.end());
                    problem = FromUtf8("seed %1, step %2: %3\nlast steps: %4")
                                  .arg(seed)
                                  .arg(step)
                                  .arg(problem, last.join(FromUtf8(" | ")));
                }
            }
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            if (qEnvironmentVariableIsSet("QUORVIL_MONKEY_TRACE"))
                qInfo("files: %s", qPrintable(QDir(work).entryList(QDir::Files).join(FromUtf8(" "))));
        }
        form.reset();  // what is left unsaved goes without a question
        QDir::setCurrent(wasCurrent);
    }
};

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"
