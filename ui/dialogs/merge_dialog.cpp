#include "merge_dialog.h"

#include "field_types.h"
#include "jfile.h"
#include "text_convert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <QVBoxLayout>
#include <algorithm>

namespace quorvil {

namespace {

// A file name in double quotes when it holds a space and does not begin with one.
QString Quoted(const std::string& name)
{
    const QString text = PathToQString(name);
    return text.contains(QLatin1Char(' ')) && !text.startsWith(QLatin1Char(' '))
               ? FromUtf8("\"") + text + FromUtf8("\"")
               : text;
}

}  // namespace

TSyncForm::TSyncForm(QWidget* parent) : TBase("SyncForm", parent), rowPanel_(new QWidget), errMsg_(new QLabel(Panel1()))
{
    errMsg_->setObjectName(FromUtf8("ErrMsg"));
    errMsg_->setStyleSheet(FromUtf8("color: red"));
    errMsg_->hide();
    static_cast<QHBoxLayout*>(Panel1()->layout())->insertWidget(0, errMsg_);

    // Fifty fields do not fit on a screen: the rows scroll.
    auto* scroll = new QScrollArea(Panel2());
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(rowPanel_);
    auto* layout = new QVBoxLayout(Panel2());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    auto* grid = new QGridLayout(rowPanel_);
    grid->setContentsMargins(8, 8, 16, 8);
    grid->setHorizontalSpacing(8);
    grid->setColumnStretch(2, 1);
    RestorePosition();
}

void TSyncForm::BuildRows(int count)
{
    auto* grid = static_cast<QGridLayout*>(rowPanel_->layout());
    // Rows are made on first need and kept; those beyond the field count hide.
    while (int(rows_.size()) <= count) {
        const int j = int(rows_.size());
        Row row;
        row.copy = new QCheckBox(rowPanel_);
        row.copy->setObjectName(FromUtf8("CopyBox%1").arg(j));
        row.copy->setToolTip(FromUtf8("Copy data in this field?"));
        row.label = new QLabel(rowPanel_);
        row.label->setObjectName(FromUtf8("FieldLabel%1").arg(j));
        row.combo = new QComboBox(rowPanel_);
        row.combo->setObjectName(FromUtf8("FieldCombo%1").arg(j));
        row.combo->setMinimumWidth(120);
        row.overwrite = new QCheckBox(FromUtf8("Overwrite field, even if non-empty"), rowPanel_);
        row.overwrite->setObjectName(FromUtf8("OverwriteBox%1").arg(j));
        row.name = new QLineEdit(rowPanel_);
        row.name->setObjectName(FromUtf8("NameEdit%1").arg(j));
        row.name->setMaxLength(kMaxFieldNameLength);
        grid->addWidget(row.copy, j, 0);
        grid->addWidget(row.label, j, 1);
        grid->addWidget(row.combo, j, 2);
        grid->addWidget(row.overwrite, j, 3);
        grid->addWidget(row.name, j, 3);
        if (j > 0) {
            connect(row.copy, &QCheckBox::toggled, this, [this, j] { CopyClick(j); });
            connect(row.combo, &QComboBox::currentIndexChanged, this, [this, j] { FieldChanged(j); });
            connect(row.name, &QLineEdit::textChanged, this, [this] { NameChanged(); });
        }
        rows_.push_back(row);
    }
    for (int j = 0; j < int(rows_.size()); ++j) {
        const bool shown = j <= count;
        rows_[size_t(j)].copy->setVisible(shown && j > 0);
        rows_[size_t(j)].label->setVisible(shown);
        rows_[size_t(j)].combo->setVisible(shown);
        rows_[size_t(j)].overwrite->setVisible(shown && j > 0);
        rows_[size_t(j)].name->setVisible(false);
    }
    grid->setRowStretch(count + 1, 1);
}

void TSyncForm::SetDatabases(const TJFILE& master, const TJFILE& other)
{
    const TMergeChoice choice = DefaultMergeChoice(master, other);
    master_ = &master;
    other_ = &other;
    setWindowTitle(FromUtf8("Merge the databases ") + Quoted(master.FileName) + FromUtf8(" and ") +
                   Quoted(other.FileName));
    const int count = other.FieldCount();
    BuildRows(count);

    Row& id = rows_[0];
    id.label->setText(FromUtf8("Name of ID field"));
    const QSignalBlocker blockId(id.combo);
    id.combo->clear();
    idNames_ = IdCandidates(master, other);
    for (const std::string& name : idNames_)
        id.combo->addItem(ToQString(name, master.Charset()));
    id.combo->setCurrentIndex(0);

    for (int j = 1; j <= count; ++j) {
        Row& row = rows_[size_t(j)];
        const TFieldMapping& m = choice.Fields[size_t(j - 1)];
        const QSignalBlocker blockCopy(row.copy), blockCombo(row.combo), blockName(row.name);
        row.label->setText(FromUtf8("Copy data in field \"") + ToQString(other.GetFieldName(j), other.Charset()) +
                           FromUtf8("\" to field"));
        row.combo->clear();
        row.combo->addItem(FromUtf8(kCreateNewField), 0);
        for (int i : MasterFieldsFor(master, other.GetFieldType(j))) {
            row.combo->addItem(ToQString(master.GetFieldName(i), master.Charset()), i);
            if (i == m.MasterField)
                row.combo->setCurrentIndex(row.combo->count() - 1);
        }
        if (m.MasterField == 0)
            row.combo->setCurrentIndex(0);
        row.copy->setChecked(m.Copy);
        row.overwrite->setChecked(false);
        row.name->setText(ToQString(other.GetFieldName(j), other.Charset()));
        row.name->setPlaceholderText(row.name->text());
    }
    for (int j = 1; j <= count; ++j)
        CopyClick(j);
    NameChanged();
    FitToRows();
}

void TSyncForm::FitToRows()
{
    // As wide as the rows, as tall as they are up to most of the screen
    // (the rest scrolls), centred each time.
    const QSize rows = rowPanel_->sizeHint();
    const QRect screen = (this->screen() ? this->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    const int width = std::min(rows.width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8,
                               screen.width() * 9 / 10);
    const int height = std::min(rows.height() + Panel1()->sizeHint().height() + 8, screen.height() * 8 / 10);
    resize(std::max(width, Panel1()->sizeHint().width()), height);
    move(screen.center() - rect().center());
}

void TSyncForm::CopyClick(int j)
{
    Row& row = rows_[size_t(j)];
    const bool on = row.copy->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(row.label), static_cast<QWidget*>(row.combo),
                       static_cast<QWidget*>(row.overwrite), static_cast<QWidget*>(row.name)})
        w->setEnabled(on);
    FieldChanged(j);
}

void TSyncForm::FieldChanged(int j)
{
    Row& row = rows_[size_t(j)];
    const bool newField = row.combo->currentIndex() == 0;
    row.name->setVisible(newField);
    row.overwrite->setVisible(!newField);
    NameChanged();
    if (isVisible() && row.name->isEnabled())
        (newField ? static_cast<QWidget*>(row.name) : row.overwrite)->setFocus();
}

void TSyncForm::NameChanged()
{
    QString problem = NameRefusal();
    if (problem.isEmpty() && master_ && other_)
        problem = ToQString(MappingProblem(*master_, *other_, Choice()), master_->Charset());
    errMsg_->setText(problem);
    errMsg_->setVisible(!problem.isEmpty());
    OkBtn()->setEnabled(problem.isEmpty());
}

QString TSyncForm::NameRefusal() const
{
    if (!master_ || !other_)
        return {};
    for (int j = 1; j <= other_->FieldCount(); ++j) {
        const Row& row = rows_[size_t(j)];
        QString refusal;
        if (row.copy->isChecked() && row.combo->currentIndex() == 0 &&
            !FromQString(row.name->text(), master_->Charset(), &refusal))
            return refusal;
    }
    return {};
}

TMergeChoice TSyncForm::Choice() const
{
    TMergeChoice choice;
    if (!other_ || rows_.empty())
        return choice;
    if (const int id = rows_[0].combo->currentIndex(); id >= 0 && size_t(id) < idNames_.size())
        choice.IdName = idNames_[size_t(id)];
    for (int j = 1; j <= other_->FieldCount(); ++j) {
        const Row& row = rows_[size_t(j)];
        TFieldMapping m;
        m.Copy = row.copy->isChecked();
        m.MasterField = row.combo->currentData().toInt();
        // A new field has no values of its own to keep.
        m.Overwrite = m.MasterField == 0 || row.overwrite->isChecked();
        if (m.MasterField == 0)
            m.NewName = FromQString(row.name->text(), master_->Charset()).value_or(std::string());
        choice.Fields.push_back(m);
    }
    return choice;
}

}  // namespace quorvil
