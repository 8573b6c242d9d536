#pragma once
// Cut, Copy, Paste, Delete and Select all of the Edit menu. In the grid they
// work on the selected cells, in the list on the selected records, in the
// fields of a record on the field that has the focus (else the record);
// while a text is being typed they work on that text, as its line does.
#include <vector>

class QLineEdit;

namespace quorvil {

class TCommandContext;
class TDatabasePage;

class TClipboardCommands {
public:
    explicit TClipboardCommands(TCommandContext& context);

    // The cells as tab-separated text and as an HTML table; with the field
    // names as a first row when `names`.
    void CopyItemClick(bool names);
    void CutItemClick();
    // Tab-separated text from the current cell rightwards and downwards,
    // every value checked as typing checks it, as one undo step.
    void PasteItemClick();
    // Clears the cells: nothing in them, a Boolean unticked.
    void DeleteCellsItemClick();
    void SelectAllItemClick();

private:
    // Rows of the grid's model and its columns, in order.
    struct TBlock {
        std::vector<int> Rows;
        std::vector<int> Columns;
    };
    TDatabasePage* Page() const;
    TBlock Block(const TDatabasePage& page) const;
    // False, with a message, when the active database may not change.
    bool Writable() const;
    void Clear(const char* what);
    // After a change: the views show it, with the block selected.
    void ShowBlock(TDatabasePage& page, int top, int bottom, int left, int right);

    TCommandContext& context_;
};

// The text line being typed into, which Cut, Copy and Paste then work on:
// the focus widget's own line or that of its spin box or combo box; null
// while no text is being typed.
QLineEdit* TypedLine();

}  // namespace quorvil
