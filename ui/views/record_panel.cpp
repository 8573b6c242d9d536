#include "record_panel.h"

#include "cell_input.h"
#include "database.h"
#include "database_model.h"
#include "date_time_edit.h"
#include "disc_id.h"
#include "field_types.h"
#include "list_combo.h"
#include "long_text_check.h"
#include "message_dialog.h"
#include "new_record.h"
#include "note_edit.h"
#include "text_convert.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>

#include <algorithm>

namespace quorvil {

namespace {

enum class EditorKind { None, Edit, Note, Number, Combo, Check, Date, Time };

EditorKind KindOf(TFieldType type)
{
    switch (FactsOf(type).Editor) {
    case TEditorKind::LongText: return EditorKind::Note;
    case TEditorKind::Text: return EditorKind::Edit;
    case TEditorKind::Integer:
    case TEditorKind::Float: return EditorKind::Number;
    case TEditorKind::List: return EditorKind::Combo;
    case TEditorKind::CheckBox: return EditorKind::Check;
    case TEditorKind::Date:
    case TEditorKind::LongDate: return EditorKind::Date;
    case TEditorKind::Time: return EditorKind::Time;
    case TEditorKind::GridText: break;
    }
    return EditorKind::None;
}

constexpr int kStripHeight = 41;

// The text a typed line held when it was last loaded or tried: leaving it
// unchanged writes nothing, so a refused text is not refused twice.
constexpr char kTriedProperty[] = "quorvilTried";

// Text of a line or a note, which the panel handles alike.
QString LineText(const QWidget* editor)
{
    if (const auto* note = qobject_cast<const TNoteEdit*>(editor))
        return note->text();
    const auto* line = qobject_cast<const QLineEdit*>(editor);
    return line ? line->text() : QString();
}

void SetLineText(QWidget* editor, const QString& text)
{
    if (auto* note = qobject_cast<TNoteEdit*>(editor))
        note->setText(text);
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setText(text);
}

}  // namespace

TRecordPanel::TRecordPanel(int tab, TDatabaseModel* model, QWidget* parent)
    : QWidget(parent), model_(model), buttonPanel_(new QWidget(this)),
      prevBtn_(new QPushButton(FromUtf8("< &Previous"), buttonPanel_)),
      nextBtn_(new QPushButton(FromUtf8("&Next >"), buttonPanel_)), positionLabel_(new QLabel(buttonPanel_)),
      lateLayout_(new QTimer(this))
{
    setObjectName(FromUtf8("EditPanel%1").arg(tab));
    buttonPanel_->setObjectName(FromUtf8("ButtonPanel%1").arg(tab));
    prevBtn_->setObjectName(FromUtf8("PrevBtn%1").arg(tab));
    nextBtn_->setObjectName(FromUtf8("NextBtn%1").arg(tab));
    prevBtn_->setGeometry(8, 8, 110, 26);
    nextBtn_->setGeometry(126, 8, 110, 26);
    positionLabel_->setObjectName(FromUtf8("RecordPosition%1").arg(tab));
    positionLabel_->setGeometry(252, 8, 300, 26);
    connect(prevBtn_, &QPushButton::clicked, this, &TRecordPanel::PrevBtnClick);
    connect(nextBtn_, &QPushButton::clicked, this, &TRecordPanel::NextBtnClick);
    lateLayout_->setSingleShot(true);
    connect(lateLayout_, &QTimer::timeout, this, [this] { LayoutEditors(true); });
    connect(model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) { ModelDataChanged(from.row(), to.row()); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { ShowRow(row_); });
    connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { ShowRow(row_); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, &TRecordPanel::UpdatePosition);
    connect(model_, &QAbstractItemModel::layoutChanged, this, &TRecordPanel::UpdatePosition);
    UpdatePosition();
}

void TRecordPanel::UpdatePosition()
{
    const int rows = model_->rowCount();
    if (rows == 0)
        positionLabel_->setText(FromUtf8("No records"));
    else if (row_ < 0)
        positionLabel_->setText(rows == 1 ? FromUtf8("1 record") : FromUtf8("%1 records").arg(rows));
    else
        positionLabel_->setText(FromUtf8("Record %1 of %2").arg(row_ + 1).arg(rows));
}

int TRecordPanel::FieldCount() const
{
    return std::min(model_->columnCount(), kMaxFields);
}

int TRecordPanel::CurrentRecord() const
{
    return model_->RecordOfRow(row_);
}

QWidget* TRecordPanel::Editor(int field) const
{
    return field >= 1 && field <= kMaxFields ? fields_[size_t(field - 1)].editor : nullptr;
}

QLabel* TRecordPanel::Label(int field) const
{
    return field >= 1 && field <= kMaxFields ? fields_[size_t(field - 1)].label : nullptr;
}

void TRecordPanel::BuildEditors()
{
    for (FieldControls& controls : fields_) {
        for (QWidget* w : std::initializer_list<QWidget*>{controls.label, controls.edit, controls.note, controls.number,
                                                          controls.combo, controls.check, controls.date, controls.time})
            if (w)
                w->hide();
        controls.editor = nullptr;
    }
    const TDataBase* db = model_->DataBase();
    for (int f = 1; db && f <= FieldCount(); ++f) {
        FieldControls& controls = fields_[size_t(f - 1)];
        if (!controls.label) {
            controls.label = new QLabel(this);
            controls.label->setObjectName(FromUtf8("Label%1").arg(f));
        }
        controls.label->setText(ToQString(db->GetFieldName(f), db->Charset()));
        controls.label->adjustSize();
        const TFieldType type = db->GetFieldType(f);
        controls.editor = MakeEditor(f, type);
        if (controls.combo && controls.editor == controls.combo) {
            QStringList items;
            for (int k = 1; k <= db->PopupCount(f); ++k)
                items << ToQString(db->GetPopupItem(f, k), db->Charset());
            items.sort(Qt::CaseInsensitive);
            controls.combo->SetItems(items);
            controls.combo->setMaxVisibleItems(std::clamp(int(items.size()) + 1, 1, 15));
        } else if (auto* line = qobject_cast<TDateTimeEdit*>(controls.editor)) {
            line->SetPattern(ToQString(InputPattern(*db, f), db->Charset()));
        }
    }
    LayoutEditors(true);
    ShowRow(row_);
}

QWidget* TRecordPanel::MakeEditor(int field, TFieldType type)
{
    FieldControls& c = fields_[size_t(field - 1)];
    const QString name = FromUtf8("Editor%1").arg(field);
    switch (KindOf(type)) {
    case EditorKind::Edit:
        if (!c.edit) {
            c.edit = new QLineEdit(this);
            c.edit->installEventFilter(this);
            connect(c.edit, &QLineEdit::textEdited, this, [this, field](const QString& text) { Write(field, text); });
        }
        c.edit->setObjectName(name);
        return c.edit;
    case EditorKind::Note:
        if (!c.note) {
            c.note = new TNoteEdit(this);
            c.note->installEventFilter(this);
            c.note->viewport()->installEventFilter(this);  // its mouse events
            connect(c.note, &TNoteEdit::textEdited, this, [this, field](const QString& text) { Write(field, text); });
            connect(c.note, &TNoteEdit::LinesChanged, this, [this] { LayoutEditors(true); });
        }
        c.note->setObjectName(name);
        return c.note;
    case EditorKind::Number:
        // Typed as text and stored when the line is left: the model, not a
        // spin box, decides what a number is, and "1." on the way to "1.5"
        // is no number yet.
        if (!c.number) {
            c.number = new QLineEdit(this);
            c.number->installEventFilter(this);
            QLineEdit* made = c.number;
            connect(made, &QLineEdit::editingFinished, this, [this, field, made] { WriteTyped(field, made); });
        }
        c.number->setObjectName(name);
        return c.number;
    case EditorKind::Combo:
        if (!c.combo) {
            c.combo = new TListCombo(this);
            c.combo->installEventFilter(this);
            if (c.combo->lineEdit())
                c.combo->lineEdit()->installEventFilter(this);
            connect(c.combo, &TListCombo::ValueChosen, this,
                    [this, field] { Write(field, fields_[size_t(field - 1)].combo->Value()); });
        }
        c.combo->setObjectName(name);
        return c.combo;
    case EditorKind::Check:
        if (!c.check) {
            c.check = new QCheckBox(this);
            c.check->installEventFilter(this);
            connect(c.check, &QCheckBox::toggled, this,
                    [this, field](bool on) { Write(field, FromUtf8(on ? "1" : "0")); });
        }
        c.check->setObjectName(name);
        return c.check;
    case EditorKind::Date:
    case EditorKind::Time: {
        const bool date = KindOf(type) == EditorKind::Date;
        TDateTimeEdit*& line = date ? c.date : c.time;
        if (!line) {
            line = new TDateTimeEdit(date ? TDateTimeEdit::TKind::Date : TDateTimeEdit::TKind::Time, this);
            TDateTimeEdit* made = line;
            made->installEventFilter(this);
            connect(made, &QLineEdit::editingFinished, this, [this, field, made] { WriteTyped(field, made); });
            connect(made, &TDateTimeEdit::ValuePicked, this, [this, field, made] { WriteTyped(field, made); });
        }
        line->setObjectName(name);
        return line;
    }
    case EditorKind::None: break;
    }
    return nullptr;
}

void TRecordPanel::LayoutEditors(bool force)
{
    const int count = FieldCount();
    if (!force) {
        if (count == 0 || !Label(count))
            return;
        if (lastLayout_.isValid() && lastLayout_.elapsed() < kThrottleMs) {
            // The last resize of a burst still gets its layout.
            lateLayout_->start(int(kThrottleMs - lastLayout_.elapsed()));
            return;
        }
    }
    lastLayout_.start();
    buttonPanel_->setGeometry(0, 0, width(), kStripHeight);
    int labelWidth = 0;
    for (int f = 1; f <= count; ++f) {
        if (QLabel* label = Label(f)) {
            label->hide();
            labelWidth = std::max(labelWidth, label->width());
        }
        // The editor typed in keeps its focus (a note grows as lines are typed).
        if (QWidget* editor = Editor(f); editor && !editor->hasFocus())
            editor->hide();
    }
    const int firstTop = (buttonPanel_->isVisibleTo(this) ? kStripHeight : 0) + 16;
    // The fewest columns in which every row fits, at most one per field.
    int columns = 1;
    int rowHeight = 24;
    for (; count > 0; ++columns) {
        const int rows = (count + columns - 1) / columns;
        rowHeight = std::clamp((height() - firstTop) / rows - 1, 24, 32);
        if (firstTop + rows * rowHeight <= height() || columns >= count)
            break;
    }
    const int columnWidth = width() / columns;
    // A late layout can come after the database grew more fields than the
    // view has built (it builds them when it is shown again).
    int top = firstTop;
    int extra = 0;
    for (int f = 1; f <= count && Label(f); ++f) {
        const int x = 8 + ((f - 1) % columns) * columnWidth;
        if ((f - 1) % columns == 0) {
            top += f > 1 ? rowHeight + extra : 0;
            extra = RowExtra(f, columns, rowHeight);
        }
        Label(f)->move(x, top + 4);
        Label(f)->show();
        if (QWidget* editor = Editor(f)) {
            const auto* note = qobject_cast<const TNoteEdit*>(editor);
            const int wanted = editor->sizeHint().height();
            const int editorHeight = note && note->LineCount() > 1 ? wanted : std::min(wanted, rowHeight - 2);
            // A date or time shows whole even where the column is narrow.
            const int least = qobject_cast<TDateTimeEdit*>(editor) ? editor->minimumSizeHint().width() : 40;
            editor->setGeometry(x + labelWidth + 16, top, std::max(columnWidth - labelWidth - 32, least), editorHeight);
            editor->show();
        }
    }
}

QList<int> TRecordPanel::NoteLines() const
{
    QList<int> lines;
    for (int f = 1; f <= FieldCount(); ++f)
        if (const auto* note = qobject_cast<const TNoteEdit*>(Editor(f)))
            lines << std::min(note->LineCount(), TNoteEdit::kMaxLines);
    return lines;
}

int TRecordPanel::RowExtra(int firstField, int columns, int rowHeight) const
{
    int extra = 0;
    for (int f = firstField; f < firstField + columns && f <= FieldCount(); ++f)
        if (const auto* note = qobject_cast<const TNoteEdit*>(Editor(f)); note && note->LineCount() > 1)
            extra = std::max(extra, note->sizeHint().height() + 2 - rowHeight);
    return extra;
}

void TRecordPanel::ShowRow(int row)
{
    row_ = row >= 0 && row < model_->rowCount() ? row : -1;
    UpdatePosition();
    filling_ = true;
    const QList<int> linesBefore = NoteLines();
    const bool readOnly = model_->DataBase() && model_->DataBase()->ReadOnlyFile();
    for (int f = 1; f <= FieldCount(); ++f) {
        if (QWidget* editor = Editor(f)) {
            // Texts of a read-only file stay selectable, to be copied.
            auto* line = qobject_cast<QLineEdit*>(editor);
            auto* note = qobject_cast<TNoteEdit*>(editor);
            if (line)
                line->setReadOnly(readOnly);
            if (note)
                note->setReadOnly(readOnly);
            editor->setEnabled(row_ >= 0 && (line || note || !readOnly));
            const bool was = editor->blockSignals(true);
            SetEditorValue(f);
            editor->blockSignals(was);
        }
    }
    filling_ = false;
    if (NoteLines() != linesBefore && isVisible())
        LayoutEditors(true);
}

void TRecordPanel::SetEditorValue(int field)
{
    const TDataBase* db = model_->DataBase();
    const FieldControls& c = fields_[size_t(field - 1)];
    const int record = CurrentRecord();
    const std::string_view value = db && record ? db->CellView(record, field) : std::string_view();
    const TFieldType type = db ? db->GetFieldType(field) : TFieldType::String;
    const TCharset set = db ? db->Charset() : TCharset::Windows1252;
    const QString text = ToQString(value, set);
    if (c.editor == c.note) {
        c.note->setText(GridText(value, set));
    } else if (c.editor == c.edit) {
        c.edit->setText(IsStringField(type) ? GridText(value, set) : text);
    } else if (c.editor == c.number) {
        c.number->setText(text);
        c.number->setProperty(kTriedProperty, text);
    } else if (c.editor == c.combo) {
        c.combo->ShowValue(text);
    } else if (c.editor == c.check) {
        c.check->setChecked(value == "1");
    } else if (c.editor == c.date || c.editor == c.time) {
        // The stored text as it stands, so that a value no picker could show
        // is still seen; an empty value is an empty line.
        static_cast<TDateTimeEdit*>(c.editor)->setText(text);
        c.editor->setProperty(kTriedProperty, text);
    }
}

bool TRecordPanel::Write(int field, const QString& text)
{
    if (filling_ || row_ < 0)
        return true;
    writing_ = true;
    const bool taken = model_->setData(model_->index(row_, field - 1), text);
    writing_ = false;
    if (taken) {
        // The field typed in keeps its cursor; the stamps of the edit show.
        const TDataBase* db = model_->DataBase();
        for (int f = 1; f <= FieldCount(); ++f)
            if (QWidget* editor = Editor(f); editor && f != field && db && IsEditStamped(db->GetFieldType(f))) {
                const bool was = editor->blockSignals(true);
                SetEditorValue(f);
                editor->blockSignals(was);
            }
    }
    return taken;
}

bool TRecordPanel::WriteTyped(int field, QLineEdit* line)
{
    const QString text = line->text().trimmed();
    if (filling_ || row_ < 0 || line != Editor(field) || text == line->property(kTriedProperty).toString())
        return true;
    line->setProperty(kTriedProperty, text);
    if (!Write(field, text))
        return false;  // kept for correction
    const bool was = line->blockSignals(true);
    SetEditorValue(field);
    line->blockSignals(was);
    return true;
}

bool TRecordPanel::CommitTyped()
{
    auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    for (int f = 1; line && f <= FieldCount(); ++f) {
        const FieldControls& c = fields_[size_t(f - 1)];
        if (line == c.editor && line != c.edit)  // a text line writes at every key
            return WriteTyped(f, line);
    }
    return true;
}

bool TRecordPanel::NavigationKey(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    const bool page = mods == Qt::NoModifier && (key.key() == Qt::Key_PageDown || key.key() == Qt::Key_PageUp);
    const bool end = mods == Qt::ControlModifier && (key.key() == Qt::Key_Home || key.key() == Qt::Key_End);
    if (!(page || end) || !buttonPanel_->isVisibleTo(this))
        return false;
    const int rows = model_->rowCount();
    if (rows == 0 || !CommitTyped())
        return true;
    if (key.key() == Qt::Key_PageDown)
        NextBtnClick();
    else if (key.key() == Qt::Key_PageUp)
        PrevBtnClick();
    else
        ShowRow(key.key() == Qt::Key_Home ? 0 : rows - 1);
    return true;
}

void TRecordPanel::KeepRefusedText(int field, const QString& text)
{
    QWidget* editor = Editor(field);
    auto* line = qobject_cast<QLineEdit*>(editor);
    auto* note = qobject_cast<TNoteEdit*>(editor);
    if ((!line && !note) || row_ < 0)
        return;
    const bool was = editor->blockSignals(true);
    SetLineText(editor, text);
    editor->blockSignals(was);
    editor->setProperty(kTriedProperty, text.trimmed());
    if (line)
        line->setModified(true);  // still being typed: no question about the file overtakes it
    else
        note->document()->setModified(true);
    editor->setFocus();
    if (line)
        line->selectAll();
    else
        note->selectAll();
}

void TRecordPanel::ModelDataChanged(int top, int bottom)
{
    // Edits made elsewhere (the grid, a replace) show at once.
    if (!writing_ && row_ >= top && row_ <= bottom)
        ShowRow(row_);
}

void TRecordPanel::NextBtnClick()
{
    const int rows = model_->rowCount();
    if (rows > 0)
        ShowRow(row_ < 0 || row_ + 1 >= rows ? 0 : row_ + 1);
}

void TRecordPanel::PrevBtnClick()
{
    const int rows = model_->rowCount();
    if (rows > 0)
        ShowRow(row_ <= 0 ? rows - 1 : row_ - 1);
}

void TRecordPanel::SetButtonStripVisible(bool on)
{
    buttonPanel_->setVisible(on);
}

void TRecordPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    buttonPanel_->setGeometry(0, 0, width(), kStripHeight);
    if (isVisible())
        LayoutEditors(false);
}

void TRecordPanel::keyPressEvent(QKeyEvent* event)
{
    if (!NavigationKey(*event))
        QWidget::keyPressEvent(event);
}

bool TRecordPanel::eventFilter(QObject* watched, QEvent* event)
{
    // Seen before the editor, which would move its caret or step its value.
    if (event->type() == QEvent::KeyPress && NavigationKey(*static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() != QEvent::MouseButtonDblClick && event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    // A note's mouse events reach its viewport.
    QObject* owner = watched->parent() && qobject_cast<TNoteEdit*>(watched->parent()) ? watched->parent() : watched;
    const int field = owner->objectName().mid(6).toInt();
    if (field < 1 || field > kMaxFields || !model_->DataBase())
        return QWidget::eventFilter(watched, event);
    const FieldControls& c = fields_[size_t(field - 1)];
    QWidget* edit = owner == c.edit ? static_cast<QWidget*>(c.edit) : owner == c.note ? c.note : nullptr;
    if (!edit || edit != c.editor)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonDblClick && IsStringField(model_->DataBase()->GetFieldType(field))) {
        QString text = LineText(edit);
        if (EditLongValue(text, model_->DataBase()->Charset())) {
            SetLineText(edit, text);
            Write(field, text);
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress && field == dbidField_)
        return DbidKey(*edit, field, static_cast<QKeyEvent*>(event)->text());
    return QWidget::eventFilter(watched, event);
}

bool TRecordPanel::DbidKey(QWidget& edit, int field, const QString& typed)
{
    if (typed.size() != 1 || typed[0].unicode() < 0x20 || typed[0].unicode() == 0x7F)
        return false;  // editing and moving keys work as usual
    const QChar c = typed[0];
    if (c.isDigit() || QStringLiteral("abcdefABCDEF").contains(c)) {
        if (auto* note = qobject_cast<TNoteEdit*>(&edit))
            note->insert(c.toUpper());
        else if (auto* line = qobject_cast<QLineEdit*>(&edit))
            line->insert(c.toUpper());
        Write(field, LineText(&edit));
        return true;
    }
    if (c != QChar(0xA4)) {
        QApplication::beep();
        return true;
    }
    std::vector<std::string> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        volumes.push_back(QStringToPath(volume.rootPath()));
    const std::string disc = FindVideoDisc(lastDisc_, volumes);
    if (disc.empty()) {
        ShowError(FromUtf8("No DVD Video Disc found in any drive!"), TMsgButton::Abort);
        return true;
    }
    lastDisc_ = disc;
    SetLineText(&edit, QString::number(DiscId(disc), 16).toUpper().rightJustified(8, QLatin1Char('0')));
    Write(field, LineText(&edit));
    for (int next = field % FieldCount() + 1; next != field; next = next % FieldCount() + 1)
        if (QWidget* editor = Editor(next)) {
            editor->setFocus();
            break;
        }
    return true;
}

}  // namespace quorvil
