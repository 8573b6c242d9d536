#pragma once
// Settings of one column of the typed-column grid: its kind, its title and
// cell presentation, and the values its check boxes and lists stand for.
// A plain value: change a copy and hand it back with TExtendedGrid::SetColumn.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace quorvil {

constexpr int kDefaultColumnWidth = 64;

// The codes are the ones the main window assigns by field type.
enum class TColumnKind {
    Text = 0,
    Picture = 1,
    CheckBox = 2,
    List = 3,
    Float = 4,
    Integer = 5,
    Spin = 6,
    Date = 7,
    Time = 8
};

enum class TOverflow { Clip = 0, Ellipsis = 1, WordWrap = 2 };
enum class THorzAlign { Left = 0, Center = 1, Right = 2 };
enum class TVertAlign { Top = 0, Center = 1, Bottom = 2 };

enum class TCheckState { Empty, Ticked, Neutral };

class TGridColumn {
public:
    QString Title;
    int Width = kDefaultColumnWidth;
    bool Editable = false;
    TOverflow TitleOverflow = TOverflow::Clip;
    QFont TitleFont;  // unset attributes come from the grid's font
    THorzAlign TitleHorzAlign = THorzAlign::Left;
    TVertAlign TitleVertAlign = TVertAlign::Center;
    TOverflow CellOverflow = TOverflow::Clip;
    QFont CellFont;
    QColor CellColor;  // invalid: the palette's text colour
    THorzAlign CellHorzAlign = THorzAlign::Left;
    TVertAlign CellVertAlign = TVertAlign::Center;
    TColumnKind ColumnKind = TColumnKind::Text;
    QStringList PictureItems;  // picture names, shown for the value at the same position
    QStringList PictureValues;
    QStringList ComboItems;   // texts offered and shown ...
    QStringList ComboValues;  // ... and the cell values stored for them
    // Date and time columns: the form their values are written in, as people
    // read it ("dd/mm/yyyy", "hh:mm"); empty takes the grid's formats.
    QString InputPattern;
    // What Alt+Enter or Shift+Enter types into the column's text editor: the
    // mark the model reads as a line break. Empty: those keys end the edit
    // as Enter does.
    QString LineBreakText;
    // The tool tip of the column's box in the filter row, when it is a line
    // to type in; empty takes the grid's own by kind.
    QString FilterTip;

    const QString& CheckedValue() const { return checkedValue_; }
    const QString& UncheckedValue() const { return uncheckedValue_; }
    // Both ignore a value equal to the other one: a ticked and an empty box
    // must never store the same text.
    void SetCheckedValue(const QString& value);
    void SetUncheckedValue(const QString& value);

    TCheckState CheckStateOf(const QString& cellText) const;
    // The text a click or the space bar stores into a box showing `cellText`.
    QString ToggledValue(const QString& cellText) const;
    // The text a list cell shows: the ComboItems entry found through
    // ComboValues, or the cell text itself when there is none.
    QString ListText(const QString& cellText) const;
    // The picture a picture cell shows; empty when there is none.
    QString PictureName(const QString& cellText) const;
    // Kinds edited with a control of their own placed over the cell.
    bool HasInPlaceControl() const;
    // Kinds whose cells hold numbers, which never show with digits cut.
    bool HoldsNumbers() const;

    bool operator==(const TGridColumn& other) const = default;

private:
    QString checkedValue_;
    QString uncheckedValue_ = QStringLiteral("0");
};

// Position of a cell value among `values`: the first equal entry, else the
// first empty entry, else -1.
int ValuePosition(const QStringList& values, const QString& cellText);

// Writing a cell whose column's item and value lists differ in length. The
// message is the one the user sees; what() holds it as UTF-8.
class EGridError : public std::runtime_error {
public:
    explicit EGridError(const QString& message);
    const QString& Message() const { return message_; }

private:
    QString message_;
};

}  // namespace quorvil
