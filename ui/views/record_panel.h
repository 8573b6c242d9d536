#pragma once
// The fields of one record, an editor per field by field type, laid out in
// as few columns as let every field fit, with Previous and Next above them
// in the record view. Records are the rows of the grid's model, so the
// panel goes through the records the grid shows, in the grid's order, and
// its edits reach the database (and the other views) through that model.
#include "field_types.h"

#include <QElapsedTimer>
#include <QList>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace quorvil {

class TDatabaseModel;
class TDateTimeEdit;
class TListCombo;
class TNoteEdit;

class TRecordPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxFields = 50;
    static constexpr int kThrottleMs = 2000;

    TRecordPanel(int tab, TDatabaseModel* model, QWidget* parent = nullptr);

    // Labels and editors for the fields of the model's database (created
    // once per field number and kind, then reused), laid out at once.
    void BuildEditors();
    // Places labels and editors; unless forced, at most once per two
    // seconds (a later layout then follows when the time is up).
    void LayoutEditors(bool force);
    // Puts the values of the record in `row` into the editors (-1: none).
    void ShowRow(int row);
    int CurrentRow() const { return row_; }
    // Record number shown (0 when none).
    int CurrentRecord() const;
    // The next and previous row, wrapping at both ends.
    void NextBtnClick();
    void PrevBtnClick();
    // Record view keys: Page Down and Page Up as Next and Previous,
    // Ctrl+Home and Ctrl+End to the first and last row. A number, date or
    // time being typed is stored first; refused, it stays and nothing moves.
    // False for any other key.
    bool NavigationKey(const QKeyEvent& key);
    // The Previous/Next strip (record view) or none (list view).
    void SetButtonStripVisible(bool on);
    QWidget* ButtonPanel() const { return buttonPanel_; }
    // "Record n of m" beside Previous and Next.
    QLabel* PositionLabel() const { return positionLabel_; }

    // The editor in use for field f (from 1), null for a field without one.
    QWidget* Editor(int field) const;
    QLabel* Label(int field) const;
    // The field whose edit takes hexadecimal digits only ("DBID"), 0: none.
    void SetDbidField(int field) { dbidField_ = field; }
    // After the model refused `text` typed into field `field` of the record
    // shown: the text stays in the field's line, which takes the focus for
    // correction; leaving it unchanged does not try it again.
    void KeepRefusedText(int field, const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct FieldControls {
        QLabel* label = nullptr;
        QLineEdit* edit = nullptr;
        TNoteEdit* note = nullptr;
        QLineEdit* number = nullptr;
        TListCombo* combo = nullptr;
        QCheckBox* check = nullptr;
        TDateTimeEdit* date = nullptr;
        TDateTimeEdit* time = nullptr;
        QWidget* editor = nullptr;
    };

    QWidget* MakeEditor(int field, TFieldType type);
    void SetEditorValue(int field);
    // False when the model did not take the text.
    bool Write(int field, const QString& text);
    // A typed number, date or time goes in whole when its line is left; the
    // line then shows what was stored (a date in the field's form), or keeps
    // the text when it was refused.
    // False when the model refused the text.
    bool WriteTyped(int field, QLineEdit* line);
    // Stores the typed line that has the focus, as leaving it would; false
    // when the model refused it.
    bool CommitTyped();
    void ModelDataChanged(int top, int bottom);
    bool DbidKey(QWidget& edit, int field, const QString& typed);
    // The height each row of fields takes beyond `rowHeight`: a note of
    // several lines makes its row taller.
    int RowExtra(int firstField, int columns, int rowHeight) const;
    // Lines of each note shown, to lay out again when they change.
    QList<int> NoteLines() const;
    int FieldCount() const;
    void UpdatePosition();

    TDatabaseModel* model_;
    QWidget* buttonPanel_;
    QPushButton* prevBtn_;
    QPushButton* nextBtn_;
    QLabel* positionLabel_;
    std::array<FieldControls, kMaxFields> fields_{};
    int row_ = -1;
    int dbidField_ = 0;
    bool filling_ = false;  // editors being set, not edited
    bool writing_ = false;  // an edit of ours on its way through the model
    QElapsedTimer lastLayout_;
    QTimer* lateLayout_;
    std::string lastDisc_;
};

}  // namespace quorvil
