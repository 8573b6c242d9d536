#include "clipboard_commands.h"

#include "cell_block.h"
#include "cell_paste.h"
#include "command_context.h"
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "local_clock.h"
#include "message_dialog.h"
#include "record_list_model.h"
#include "record_panel.h"
#include "text_convert.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

namespace quorvil {

namespace {

// Rows end as the platform's spreadsheets end them on the clipboard.
#ifdef Q_OS_WIN
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

std::vector<int> Span(int first, int last)
{
    std::vector<int> numbers;
    for (int k = first; k <= last; ++k)
        numbers.push_back(k);
    return numbers;
}

QString Utf8Text(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// Before anything is written, what the block does not fit: rows past the
// last (added on Yes, left out on No) and columns past the last field.
// Whether to add the rows; nothing on Cancel.
std::optional<bool> AskBlockShape(const TPastePlan& plan, const QString& firstField)
{
    QString dropped;
    if (plan.DroppedColumns > 0)
        dropped = FromUtf8("The pasted cells are %1 wider than the fields from \"%2\" on; the last %1 are left out.")
                      .arg(CountOf(plan.DroppedColumns, "column"), firstField);
    if (plan.NewRows == 0) {
        if (dropped.isEmpty() || MessageDlgButtons(dropped, TMsgKind::Warning, {TMsgButton::OK, TMsgButton::Cancel},
                                                   TMsgButton::OK) == TMsgButton::OK)
            return false;
        return std::nullopt;
    }
    QString question = FromUtf8("The pasted cells reach %1 past the last one. Add %2 for them?\n"
                                "(No pastes only into the rows there are.)")
                           .arg(CountOf(plan.NewRows, "row"), CountOf(plan.NewRows, "new record"));
    if (plan.RowsBeyondRoom > 0)
        question += FromUtf8("\nA database holds 65535 records at most: the last %1 do not fit.")
                        .arg(CountOf(plan.RowsBeyondRoom, "row"));
    if (!dropped.isEmpty())
        question += QLatin1Char('\n') + dropped;
    const TMsgButton answer = MessageDlgButtons(question, TMsgKind::Confirmation,
                                                {TMsgButton::Yes, TMsgButton::No, TMsgButton::Cancel}, TMsgButton::Yes);
    if (answer == TMsgButton::Cancel)
        return std::nullopt;
    return answer == TMsgButton::Yes;
}

}  // namespace

QLineEdit* TypedLine()
{
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return line;
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus))
        return spin->findChild<QLineEdit*>();
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        return combo->lineEdit();
    return nullptr;
}

TClipboardCommands::TClipboardCommands(TCommandContext& context) : context_(context)
{
    // A text being typed stays in its line: these commands work on it.
    const bool commitFirst = false;
    context.AddCommand(
        "CutCellsItem", "Cu&t", "CutItemClick", [this] { CutItemClick(); }, commitFirst);
    context.AddCommand(
        "CopyCellsItem", "&Copy", "CopyItemClick", [this] { CopyItemClick(false); }, commitFirst);
    context.AddCommand(
        "CopyWithNamesItem", "Copy with field &names", "CopyItemClick", [this] { CopyItemClick(true); }, commitFirst);
    context.AddCommand(
        "PasteCellsItem", "&Paste", "PasteItemClick", [this] { PasteItemClick(); }, commitFirst);
    context.AddCommand(
        "DeleteCellsItem", "De&lete", "DeleteCellsItemClick", [this] { DeleteCellsItemClick(); }, commitFirst);
    context.AddCommand(
        "SelectAllItem", "Select &all", "SelectAllItemClick", [this] { SelectAllItemClick(); }, commitFirst);
}

TDatabasePage* TClipboardCommands::Page() const
{
    TDatabaseTabs& tabs = context_.Tabs();
    return tabs.CurrentDB() ? tabs.Page(tabs.CurrentTab()) : nullptr;
}

TClipboardCommands::TBlock TClipboardCommands::Block(const TDatabasePage& page) const
{
    TBlock block;
    const TDatabaseModel& model = *page.Model();
    if (model.rowCount() == 0 || model.columnCount() == 0)
        return block;
    if (page.GridVisible()) {
        // Several ranges count as the rows and columns they span.
        const QItemSelection selection = page.Grid()->selectionModel()->selection();
        const QModelIndex current = page.Grid()->currentIndex();
        if (selection.isEmpty()) {
            if (current.isValid())
                block = {{current.row()}, {current.column()}};
            return block;
        }
        int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
        for (const QItemSelectionRange& range : selection) {
            top = std::min(top, range.top());
            left = std::min(left, range.left());
            bottom = std::max(bottom, range.bottom());
            right = std::max(right, range.right());
        }
        return {Span(top, bottom), Span(left, right)};
    }
    // In the record's fields, the field with the focus; else every field.
    const QWidget* focus = QApplication::focusWidget();
    const TRecordPanel& panel = *page.EditPanel();
    for (int col = 0; col < model.columnCount() && block.Columns.empty(); ++col)
        if (const QWidget* editor = panel.Editor(col + 1); editor && focus && editor->isAncestorOf(focus))
            block.Columns = {col};
    if (!block.Columns.empty() || page.ViewMode() != TViewMode::List) {
        if (panel.CurrentRow() >= 0)
            block.Rows = {panel.CurrentRow()};
    } else {
        for (const QModelIndex& index : page.ListBox()->selectionModel()->selectedIndexes())
            block.Rows.push_back(index.row());
        std::sort(block.Rows.begin(), block.Rows.end());
        if (block.Rows.empty() && panel.CurrentRow() >= 0)
            block.Rows = {panel.CurrentRow()};
    }
    if (block.Columns.empty())
        block.Columns = Span(0, model.columnCount() - 1);
    return block;
}

bool TClipboardCommands::Writable() const
{
    const TDatabasePage* page = Page();
    if (!page)
        return false;
    if (page->DataBase()->ReadOnlyFile()) {
        ShowInformation(FromUtf8("This database's file is read-only, so its cells cannot be changed. "
                                 "Use File > Save as to write a copy that can be edited."));
        return false;
    }
    return true;
}

void TClipboardCommands::CopyItemClick(bool names)
{
    if (QLineEdit* line = TypedLine()) {
        line->copy();
        return;
    }
    const TDatabasePage* page = Page();
    if (!page)
        return;
    const TBlock block = Block(*page);
    if (block.Rows.empty())
        return;
    std::vector<int> records;
    for (const int row : block.Rows)
        records.push_back(page->Model()->RecordOfRow(row));
    std::vector<int> fields;
    for (const int col : block.Columns)
        fields.push_back(col + 1);
    const TCellRows rows = CopiedCells(*page->DataBase(), records, fields, names);
    auto* data = new QMimeData;
    data->setText(Utf8Text(TabText(rows, kLineEnd)));
    data->setHtml(Utf8Text(HtmlTable(rows, names)));
    QApplication::clipboard()->setMimeData(data);
    context_.ShowStatus(
        FromUtf8("Copied %1 of %2.").arg(CountOf(int(records.size()), "record"), CountOf(int(fields.size()), "field")));
}

void TClipboardCommands::CutItemClick()
{
    if (QLineEdit* line = TypedLine()) {
        line->cut();
        return;
    }
    if (!Writable())
        return;
    CopyItemClick(false);
    Clear("Cut");
}

void TClipboardCommands::DeleteCellsItemClick()
{
    if (QLineEdit* line = TypedLine()) {
        line->del();
        return;
    }
    if (Writable())
        Clear("Delete");
}

void TClipboardCommands::Clear(const char* what)
{
    TDatabasePage& page = *Page();
    const TBlock block = Block(page);
    if (block.Rows.empty())
        return;
    std::vector<int> records;
    for (const int row : block.Rows)
        records.push_back(page.Model()->RecordOfRow(row));
    std::vector<int> fields;
    for (const int col : block.Columns)
        fields.push_back(col + 1);
    {
        TUndoScope change = page.Change(FromUtf8(what));
        change.TrackCells();
        ClearCells(*page.DataBase(), records, fields, LocalNow());
    }
    ShowBlock(page, block.Rows.front(), block.Rows.back(), block.Columns.front(), block.Columns.back());
}

void TClipboardCommands::PasteItemClick()
{
    if (QLineEdit* line = TypedLine()) {
        line->paste();
        return;
    }
    if (!Writable())
        return;
    TDatabasePage& page = *Page();
    TDataBase& db = *page.DataBase();
    const QByteArray text = QApplication::clipboard()->text().toUtf8();
    const TCellRows rows = ParseTabText(std::string_view(text.constData(), size_t(text.size())));
    const TBlock block = Block(page);
    if (rows.empty() || block.Rows.empty()) {
        context_.ShowStatus(FromUtf8("The clipboard holds no text to paste."));
        return;
    }
    const TDatabaseModel& model = *page.Model();
    TPasteTarget target;
    target.Field = block.Columns.front() + 1;
    const bool fill = rows.size() == 1 && rows.front().size() == 1;
    if (fill) {
        target.Fields = int(block.Columns.size());
        for (const int row : block.Rows)
            target.Records.push_back(model.RecordOfRow(row));
    } else {
        const int last = std::min(model.rowCount(), block.Rows.front() + int(rows.size())) - 1;
        for (int row = block.Rows.front(); row <= last; ++row)
            target.Records.push_back(model.RecordOfRow(row));
    }
    const TPastePlan plan = PlanPaste(db, target, rows);
    if (!plan.Problem.empty()) {
        // The problem may quote the text pasted, a character the set lacks too.
        ShowError(Utf8Text(plan.Problem) + FromUtf8("\nNothing was pasted."));
        return;
    }
    const std::optional<bool> addRows = AskBlockShape(plan, ToQString(db.GetFieldName(target.Field), db.Charset()));
    if (!addRows)
        return;
    std::vector<int> written;
    {
        TUndoScope change = page.Change(FromUtf8("Paste"));
        change.TrackCells();
        written = ApplyPaste(db, target, plan, *addRows, LocalNow());
    }
    const int top = block.Rows.front();
    const int width = plan.Width;
    ShowBlock(page, top, top + int(written.size()) - 1, target.Field - 1, target.Field + width - 2);
    context_.ShowStatus(
        FromUtf8("Pasted %1 of %2.").arg(CountOf(int(written.size()), "record"), CountOf(width, "field")));
}

void TClipboardCommands::ShowBlock(TDatabasePage& page, int top, int bottom, int left, int right)
{
    // The list and the record keep their place (a refill of the list
    // would go back to its first line).
    if (page.GridVisible())
        page.RefreshView();
    else
        page.Model()->Refill();
    const TDatabaseModel& model = *page.Model();
    bottom = std::min(bottom, model.rowCount() - 1);
    right = std::min(right, model.columnCount() - 1);
    if (page.GridVisible() && top >= 0 && top <= bottom && left <= right) {
        page.Grid()->setCurrentIndex(model.index(top, left));
        page.Grid()->selectionModel()->select(QItemSelection(model.index(top, left), model.index(bottom, right)),
                                              QItemSelectionModel::ClearAndSelect);
    } else if (!page.GridVisible() && page.EditPanel()->CurrentRow() >= 0) {
        page.EditPanel()->ShowRow(page.EditPanel()->CurrentRow());
    }
    context_.UpdateActiveInfo();
}

void TClipboardCommands::SelectAllItemClick()
{
    if (QLineEdit* line = TypedLine()) {
        line->selectAll();
        return;
    }
    TDatabasePage* page = Page();
    if (!page)
        return;
    if (page->GridVisible())
        page->Grid()->selectAll();
    else if (page->ViewMode() == TViewMode::List)
        page->ListBox()->selectAll();
}

}  // namespace quorvil
