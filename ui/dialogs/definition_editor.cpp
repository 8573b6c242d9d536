#include "definition_editor.h"

#include "definition_review.h"
#include "field_types.h"
#include "message_dialog.h"
#include "popup_list_dialog.h"
#include "text_convert.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>

namespace quorvil {

namespace {

int TagOf(const QWidget* w)
{
    return w->property("Tag").toInt();
}

}  // namespace

TEditDB::TEditDB(QWidget* parent) : TBase("EditDB", parent), scroll_(new QScrollBar(Qt::Vertical, Panel2()))
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
            row.Type->addItem(ToQString(TypeName(type)), int(Code(type)));
        row.Popup = new QToolButton(Panel2());
        row.Popup->setObjectName(FromUtf8("Popup%1").arg(i + 1));
        row.Popup->setText(FromUtf8("?"));
        row.Popup->setGeometry(402, top, 22, 22);
        connect(row.Name, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (const int f = TagOf(rows_[size_t(i)].Name))
                fields_[size_t(f - 1)].Name = FromQString(text);
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
    Panel2()->setFixedSize(464, 12 + 24 * kRows + 4);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    RestorePosition();
}

bool TEditDB::Execute(const TJFILE& db)
{
    db_ = &db;
    fields_ = ReadDefinition(db);
    const int count = int(fields_.size());
    scroll_->setVisible(count > kRows);
    {
        const QSignalBlocker block(scroll_);
        scroll_->setRange(1, std::max(1, count - kRows + 1));
        scroll_->setSingleStep(1);
        scroll_->setPageStep(kRows);
        scroll_->setValue(1);
    }
    ShowRows(1);
    return TBase::Execute();
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
        row.Name->setText(ToQString(field.Name));
        row.Type->setCurrentIndex(row.Type->findData(int(Code(SavedType(field.Type)))));
        row.Popup->setEnabled(field.Type == TFieldType::List);
    }
}

void TEditDB::accept()
{
    if (!db_)
        return TBase::accept();
    TDefinitionReview review = ReviewDefinition(*db_, fields_);
    if (!review.Refusal.empty()) {
        ShowWarning(ToQString(review.Refusal));
        FocusField(review.Field, review.NameRefused);
        return;
    }
    if (!review.Notes.empty()) {
        QString text;
        for (const std::string& note : review.Notes)
            text += ToQString(note) + QLatin1Char('\n');
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
        list << ToQString(item);
    TPopForm form(this);
    const QString caption = FromUtf8("Popup List for \"") + ToQString(field.Name.substr(0, 36)) + FromUtf8("\"");
    if (!form.EditPopupList(list, caption))
        return;
    field.Popup.clear();
    for (const QString& item : list)
        field.Popup.push_back(FromQString(item));
}

}  // namespace quorvil
