#include "definition_editor.h"

#include "definition_review.h"
#include "field_name_text.h"
#include "field_types.h"
#include "input_dialog.h"
#include "jfile.h"
#include "message_dialog.h"
#include "popup_list_dialog.h"
#include "text_convert.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace quorvil {

namespace {

int TagOf(const QWidget* w)
{
    return w->property("Tag").toInt();
}

}  // namespace

TEditDB::TEditDB(QWidget* parent)
    : TBase("EditDB", parent), scroll_(new QScrollBar(Qt::Vertical, Panel2())),
      addBtn_(new QPushButton(FromUtf8("&Add"), Panel2())), delBtn_(new QPushButton(FromUtf8("&Delete"), Panel2())),
      upBtn_(new QPushButton(FromUtf8("&Up"), Panel2())), downBtn_(new QPushButton(FromUtf8("Do&wn"), Panel2()))
{
    setWindowTitle(FromUtf8("Editing Database Definition"));
    scroll_->setObjectName(FromUtf8("ScrollBar"));
    for (int i = 0; i < kRows; ++i) {
        const int top = 12 + 24 * i;
        Row& row = rows_[size_t(i)];
        row.Label = new QLabel(FromUtf8("Field #%1").arg(i + 1), Panel2());
        row.Label->setGeometry(8, top + 4, 64, 18);
        row.Name = new QLineEdit(Panel2());
        row.Name->setObjectName(FromUtf8("Name%1").arg(i + 1));
        row.Name->setMaxLength(20);
        row.Name->setGeometry(80, top, 160, 22);
        row.Label->setBuddy(row.Name);
        row.Type = new QComboBox(Panel2());
        row.Type->setObjectName(FromUtf8("Type%1").arg(i + 1));
        row.Type->setGeometry(256, top, 130, 22);
        // Every named type once; a field not saved yet shows as STRING.
        for (const TFieldType type : NamedTypes())
            row.Type->addItem(FromUtf8(TypeName(type).c_str()), int(Code(type)));
        row.Popup = new QToolButton(Panel2());
        row.Popup->setObjectName(FromUtf8("Popup%1").arg(i + 1));
        row.Popup->setText(FromUtf8("?"));
        row.Popup->setGeometry(402, top, 22, 22);
        connect(row.Name, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (const int f = TagOf(rows_[size_t(i)].Name))
                NameEdited(f, text);
        });
        connect(row.Type, &QComboBox::activated, this, [this, i] {
            const Row& r = rows_[size_t(i)];
            const TFieldType type = TFieldType(r.Type->currentData().toInt());
            if (const int f = TagOf(r.Type))
                fields_[size_t(f - 1)].Type = type;
            r.Popup->setEnabled(type == TFieldType::List);
        });
        connect(row.Popup, &QToolButton::clicked, this, [this, i] { EditPopup(i); });
    }
    scroll_->setGeometry(440, 8, 16, 24 * kRows);
    connect(scroll_, &QScrollBar::valueChanged, this, &TEditDB::ShowRows);
    const std::pair<QPushButton*, const char*> buttons[] = {
        {addBtn_, "AddBtn"}, {delBtn_, "DelBtn"}, {upBtn_, "UpBtn"}, {downBtn_, "DownBtn"}};
    int top = 12;
    for (const auto& [button, name] : buttons) {
        button->setObjectName(FromUtf8(name));
        button->setAutoDefault(false);  // Enter in a row means OK
        // The focus stays in the row of the field the buttons act on.
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(472, top, 88, 26);
        top += 32;
    }
    connect(addBtn_, &QPushButton::clicked, this, &TEditDB::AddBtnClick);
    connect(delBtn_, &QPushButton::clicked, this, &TEditDB::DelBtnClick);
    connect(upBtn_, &QPushButton::clicked, this, [this] { MoveField(-1); });
    connect(downBtn_, &QPushButton::clicked, this, [this] { MoveField(1); });
    Panel2()->setFixedSize(568, 12 + 24 * kRows + 4);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    RestorePosition();
}

bool TEditDB::Execute(const TJFILE& db)
{
    db_ = &db;
    fields_ = ReadDefinition(db);
    sources_ = SameFields(int(fields_.size()));
    unstored_.assign(fields_.size(), QString());
    current_ = 1;
    SetUpScrollBar();
    {
        const QSignalBlocker block(scroll_);
        scroll_->setValue(1);
    }
    ShowRows(1);
    return TBase::Execute();
}

void TEditDB::SetUpScrollBar()
{
    const int count = int(fields_.size());
    scroll_->setVisible(count > kRows);
    const QSignalBlocker block(scroll_);
    scroll_->setRange(1, std::max(1, count - kRows + 1));
    scroll_->setSingleStep(1);
    scroll_->setPageStep(kRows);
}

void TEditDB::ShowFields()
{
    SetUpScrollBar();
    ShowRows(scroll_->value());
    FocusField(current_, true);
}

int TEditDB::CurrentField()
{
    // The buttons take no focus, so the dialog's focus is still in the row.
    if (const QWidget* w = focusWidget(); w && TagOf(w) > 0)
        current_ = TagOf(w);
    return current_;
}

void TEditDB::AddBtnClick()
{
    CurrentField();
    const int most = db_ ? db_->MaxFields() : kMaxSlots;
    if (int(fields_.size()) >= most) {
        ShowWarning(FromUtf8("A database in the layout %1 holds at most %2 fields. Delete a field before adding "
                             "another.")
                        .arg(FromUtf8(db_ ? Facts(db_->Layout()).Name : "JFile 5.5"))
                        .arg(most));
        return;
    }
    // As a new database's fields are named: a refused name is offered
    // again as typed, to be mended.
    QString name;
    while (InputLine(FromUtf8("Name of new item"), name, 255)) {
        name = name.replace(QLatin1Char('\t'), QLatin1Char(' ')).trimmed();
        if (name.isEmpty())
            return;
        QString problem;
        const std::optional<std::string> bytes = FieldNameBytes(name, Charset(), problem);
        for (const TFieldDefinition& field : fields_)
            if (problem.isEmpty() && SameFieldName(field.Name, *bytes))
                problem = FromUtf8("A field named \"%1\" is in the list already. Give the new field a name of its "
                                   "own.")
                              .arg(ToQString(field.Name, Charset()));
        if (!problem.isEmpty()) {
            ShowWarning(problem);
            continue;
        }
        const int at = std::clamp(current_, 0, int(fields_.size()));
        fields_.insert(fields_.begin() + at, TFieldDefinition{*bytes, TFieldType::String, {}});
        sources_.insert(sources_.begin() + at, 0);
        unstored_.insert(unstored_.begin() + at, QString());
        current_ = at + 1;
        ShowFields();
        return;
    }
}

void TEditDB::DelBtnClick()
{
    CurrentField();
    if (current_ < 1 || current_ > int(fields_.size()))
        return;
    if (fields_.size() == 1) {
        ShowWarning(FromUtf8("The last field cannot be deleted: a database holds at least one field."));
        return;
    }
    const int source = sources_[size_t(current_ - 1)];
    if (const int held = db_ && source > 0 ? RecordsWithValues(*db_, source) : 0; held > 0) {
        const QString text = FromUtf8("%1 of %2 records hold a value in the field \"%3\". OK deletes the field with "
                                      "its values when the definition is changed; Cancel keeps it.")
                                 .arg(held)
                                 .arg(db_->RecordCount())
                                 .arg(ShownName(current_));
        if (MessageDlgButtons(text, TMsgKind::Confirmation, {TMsgButton::OK, TMsgButton::Cancel}, TMsgButton::Cancel) !=
            TMsgButton::OK)
            return;
    }
    fields_.erase(fields_.begin() + (current_ - 1));
    sources_.erase(sources_.begin() + (current_ - 1));
    unstored_.erase(unstored_.begin() + (current_ - 1));
    current_ = std::min(current_, int(fields_.size()));
    ShowFields();
}

void TEditDB::MoveField(int step)
{
    CurrentField();
    const int to = current_ + step;
    if (current_ < 1 || to < 1 || to > int(fields_.size()))
        return;
    std::swap(fields_[size_t(current_ - 1)], fields_[size_t(to - 1)]);
    std::swap(sources_[size_t(current_ - 1)], sources_[size_t(to - 1)]);
    std::swap(unstored_[size_t(current_ - 1)], unstored_[size_t(to - 1)]);
    current_ = to;
    ShowFields();
}

void TEditDB::ShowRows(int first)
{
    for (int i = 0; i < kRows; ++i) {
        const Row& row = rows_[size_t(i)];
        const int f = first + i;
        const bool shown = f >= 1 && f <= int(fields_.size());
        for (QWidget* w : std::initializer_list<QWidget*>{row.Label, row.Name, row.Type, row.Popup}) {
            w->setVisible(shown);
            w->setProperty("Tag", shown ? f : 0);
        }
        if (!shown)
            continue;
        const TFieldDefinition& field = fields_[size_t(f - 1)];
        row.Label->setText(FromUtf8("Field #%1").arg(f));
        row.Name->setText(ShownName(f));
        row.Type->setCurrentIndex(row.Type->findData(int(Code(SavedType(field.Type)))));
        row.Popup->setEnabled(field.Type == TFieldType::List);
    }
}

void TEditDB::accept()
{
    if (!db_)
        return TBase::accept();
    // A name the set cannot hold was never stored: it is refused here, as
    // typed, before the definition is looked at.
    for (size_t f = 0; f < unstored_.size(); ++f) {
        QString refusal;
        if (!unstored_[f].isEmpty() && !FieldNameBytes(unstored_[f], Charset(), refusal)) {
            ShowWarning(refusal);
            FocusField(int(f) + 1, true);
            return;
        }
    }
    TDefinitionReview review = ReviewDefinition(*db_, fields_, sources_);
    if (!review.Refusal.empty()) {
        ShowWarning(ToQString(review.Refusal, Charset()));
        FocusField(review.Field, review.NameRefused);
        return;
    }
    if (!review.Notes.empty()) {
        QString text;
        for (const std::string& note : review.Notes)
            text += ToQString(note, Charset()) + QLatin1Char('\n');
        text += FromUtf8("\nOK changes the definition; Cancel goes back to it.");
        if (MessageDlgButtons(text, TMsgKind::Confirmation, {TMsgButton::OK, TMsgButton::Cancel}, TMsgButton::OK) !=
            TMsgButton::OK)
            return;
    }
    fields_ = std::move(review.Fields);
    TBase::accept();
}

void TEditDB::FocusField(int f, bool name)
{
    if (f < 1 || f > int(fields_.size()))
        return;
    if (f < scroll_->value() || f >= scroll_->value() + kRows)
        scroll_->setValue(f);  // the scroll bar stops at the last page
    const Row& row = rows_[size_t(f - scroll_->value())];
    if (name) {
        row.Name->setFocus();
        row.Name->selectAll();
    } else {
        row.Type->setFocus();
    }
}

void TEditDB::EditPopup(int row)
{
    const int f = TagOf(rows_[size_t(row)].Popup);
    if (f == 0)
        return;
    TFieldDefinition& field = fields_[size_t(f - 1)];
    QStringList list;
    for (const std::string& item : field.Popup)
        list << ToQString(item, Charset());
    TPopForm form(this);
    form.SetCharset(Charset());
    const QString caption = FromUtf8("Popup List for \"") + ShownName(f).left(36) + FromUtf8("\"");
    if (!form.EditPopupList(list, caption))
        return;
    // The list refused each value the set cannot hold as it was typed.
    std::vector<std::string> values;
    for (const QString& item : list) {
        QString refusal;
        const std::optional<std::string> bytes = FromQString(item, Charset(), &refusal);
        if (!bytes) {
            ShowWarning(refusal);
            return;
        }
        values.push_back(*bytes);
    }
    field.Popup = std::move(values);
}

TCharset TEditDB::Charset() const
{
    return db_ ? db_->Charset() : TCharset::Windows1252;
}

QString TEditDB::ShownName(int f) const
{
    const QString& typed = unstored_[size_t(f - 1)];
    return typed.isEmpty() ? ToQString(fields_[size_t(f - 1)].Name, Charset()) : typed;
}

void TEditDB::NameEdited(int f, const QString& text)
{
    // A name the set cannot hold (or too long in bytes) stays as typed, to
    // be refused on OK; the field keeps the name it had until then.
    QString problem;
    if (const std::optional<std::string> bytes = FieldNameBytes(text, Charset(), problem)) {
        fields_[size_t(f - 1)].Name = *bytes;
        unstored_[size_t(f - 1)].clear();
    } else {
        unstored_[size_t(f - 1)] = text;
    }
}

}  // namespace quorvil
