#include "split_dialog.h"

#include "input_dialog.h"
#include "modal.h"
#include "text_convert.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>

namespace quorvil {

namespace {

// The global value starts at character 22 of an entry, after the name
// padded or cut to 21 characters.
constexpr int kValueColumn = 21;

QString EntryText(const QString& name, const QString& value)
{
    return name.leftJustified(kValueColumn, QLatin1Char(' '), true) + value;
}

// A folder picker with a path line and a button for a new folder; `start`
// on Cancel.
QString PickFolder(QWidget* parent, const QString& start)
{
    QFileDialog dialog(parent, FromUtf8("Select directory"), start);
    dialog.setObjectName(FromUtf8("PickFolderDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return start;
    return dialog.selectedFiles().constFirst();
}

QPushButton* BrowseButton(const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(FromUtf8("Browse"), parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

TDefNameForm::TDefNameForm(QWidget* parent)
    : QDialog(parent), fieldList_(new QListWidget(this)), dirEdit_(new QLineEdit(this)), rowLayout_(nullptr)
{
    setObjectName(FromUtf8("DefNameForm"));
    setWindowTitle(FromUtf8("File Names for multiple-file output"));
    fieldList_->setObjectName(FromUtf8("FieldList"));
    QFont courier(FromUtf8("Courier New"));
    courier.setStyleHint(QFont::Monospace);
    fieldList_->setFont(courier);
    connect(fieldList_, &QListWidget::itemClicked, this, &TDefNameForm::FieldListClick);
    dirEdit_->setObjectName(FromUtf8("Edit0"));
    dirEdit_->setToolTip(FromUtf8("The folder of the files named without one; a relative folder is taken "
                                  "beside the database"));
    QPushButton* dirButton = BrowseButton(FromUtf8("Button0"), this);
    connect(dirButton, &QPushButton::clicked, this, [this] {
        const QString typed = GetOutputDir();
        const QString start = !typed.isEmpty() && QFileInfo(typed).isDir() ? typed : sourceDir_;
        SetOutputDir(PickFolder(this, QDir::cleanPath(start)));
    });

    // A list field may hold up to 50 values: the rows scroll.
    auto* rowPanel = new QWidget;
    rowLayout_ = new QVBoxLayout(rowPanel);
    rowLayout_->setContentsMargins(0, 0, 0, 0);
    rowLayout_->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(rowPanel);
    scroll->setMinimumWidth(380);

    auto* formats = new QHBoxLayout;
    for (const char* format : {"PDB", "CSV", "HTM", "TXT"}) {
        auto* box = new QCheckBox(FromUtf8(".") + FromUtf8(format), this);
        box->setObjectName(FromUtf8(format));
        formats->addWidget(box);
    }
    formats->addStretch();
    auto* ok = new QPushButton(FromUtf8("&OK"), this);
    ok->setObjectName(FromUtf8("BitBtn1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(FromUtf8("&Cancel"), this);
    cancel->setObjectName(FromUtf8("BitBtn2"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    formats->addWidget(ok);
    formats->addWidget(cancel);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(FromUtf8("Global settings:"), this), 0, 0);
    grid->addWidget(fieldList_, 1, 0, 3, 1);
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(new QLabel(FromUtf8("Output directory:"), this));
    dirRow->addWidget(dirEdit_, 1);
    dirRow->addWidget(dirButton);
    grid->addLayout(dirRow, 0, 1);
    grid->addWidget(scroll, 1, 1, 3, 1);
    grid->addLayout(formats, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    resize(720, 420);
}

void TDefNameForm::AddRow()
{
    const int k = int(rows_.size()) + 1;
    auto* panel = new QWidget;
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(4, 0, 4, 0);
    Row row{panel, new QCheckBox(panel), new QLineEdit(panel)};
    row.box->setObjectName(FromUtf8("CheckBox%1").arg(k));
    row.edit->setObjectName(FromUtf8("Edit%1").arg(k));
    QPushButton* browse = BrowseButton(FromUtf8("Button%1").arg(k), panel);
    connect(browse, &QPushButton::clicked, this, [this, k] { BrowseClick(k - 1); });
    layout->addWidget(row.box, 1);
    layout->addWidget(row.edit, 1);
    layout->addWidget(browse);
    rowLayout_->insertWidget(rowLayout_->count() - 1, panel);
    rows_.push_back(row);
}

void TDefNameForm::SetValues(const std::vector<TSplitDialogValue>& values)
{
    while (rows_.size() < values.size())
        AddRow();
    for (size_t k = 0; k < rows_.size(); ++k) {
        rows_[k].panel->setVisible(k < values.size());
        if (k >= values.size())
            continue;
        // "&" in a value is text, not a mnemonic.
        rows_[k].box->setText(QString(values[k].Value).replace(QLatin1Char('&'), FromUtf8("&&")));
        rows_[k].box->setChecked(values[k].Ticked);
        rows_[k].edit->setText(values[k].FileName);
    }
    for (const char* format : {"PDB", "CSV", "HTM", "TXT"})
        FormatBox(format)->setChecked(QLatin1String(format) == QLatin1String("PDB"));
}

void TDefNameForm::SetFields(const QStringList& names)
{
    fieldList_->clear();
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, fieldList_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void TDefNameForm::SetOutputDir(const QString& dir)
{
    dirEdit_->setText(QDir::toNativeSeparators(QDir::cleanPath(dir)));
}

QString TDefNameForm::GetOutputDir() const
{
    QString typed = QDir::fromNativeSeparators(dirEdit_->text().trimmed());
    if (typed.isEmpty())
        return {};
    if (QDir::isRelativePath(typed) && !sourceDir_.isEmpty())
        typed = sourceDir_ + QLatin1Char('/') + typed;
    const QString full = QDir::cleanPath(QDir(typed).absolutePath());
    return full.endsWith(QLatin1Char('/')) ? full : full + QLatin1Char('/');
}

QCheckBox* TDefNameForm::FormatBox(const char* name) const
{
    return findChild<QCheckBox*>(FromUtf8(name));
}

void TDefNameForm::FieldListClick(QListWidgetItem* item)
{
    if (!item || item->checkState() != Qt::Checked)
        return;
    const QString name = item->text().left(20).trimmed();
    QString value = item->text().mid(kValueColumn);
    std::string bytes;
    if (InputBytes(FromUtf8("Global value for field ") + name, value, 255, charset_, bytes))
        item->setText(EntryText(name, value));
}

TSplitDialogChoice TDefNameForm::Choice() const
{
    TSplitDialogChoice choice;
    for (const Row& row : rows_)
        if (!row.panel->isHidden())
            choice.FileNames << (row.box->isChecked() ? row.edit->text().trimmed() : QString());
    choice.OutputDir = GetOutputDir();
    choice.PDB = FormatBox("PDB")->isChecked();
    choice.CSV = FormatBox("CSV")->isChecked();
    choice.HTM = FormatBox("HTM")->isChecked();
    choice.TXT = FormatBox("TXT")->isChecked();
    for (int k = 0; k < fieldList_->count(); ++k) {
        const QListWidgetItem* item = fieldList_->item(k);
        if (item->checkState() == Qt::Checked)
            choice.GlobalValues[k] = item->text().mid(kValueColumn);
    }
    return choice;
}

void TDefNameForm::BrowseClick(int k)
{
    QLineEdit* edit = rows_[size_t(k)].edit;
    QString placed = edit->text();
    if (QFileInfo(placed).isRelative())
        placed = sourceDir_ + QLatin1Char('/') + placed;
    if (QFileInfo(placed).suffix().isEmpty())
        placed += FromUtf8(".PDB");
    const QString directory = QFileInfo(placed).absolutePath();
    QFileDialog dialog(this, FromUtf8("Save partial database as"), directory,
                       FromUtf8("JFile Pro Database (*.PDB *.pdb);;All Files (*)"));
    dialog.setObjectName(FromUtf8("SaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(FromUtf8("PDB"));
    dialog.selectFile(QFileInfo(placed).fileName());
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString name = dialog.selectedFiles().constFirst();
    if (QFileInfo(name).isRelative())
        name = directory + QLatin1Char('/') + name;
    if (QFileInfo(name).suffix().isEmpty())
        name += FromUtf8(".PDB");
    // A file beside the source database is kept as a bare name, so the
    // remembered names stay valid when the folder moves.
    if (QFileInfo(name).absolutePath().compare(QDir(sourceDir_).absolutePath(), Qt::CaseInsensitive) == 0)
        name = QFileInfo(name).fileName();
    const int pdb = int(name.indexOf(FromUtf8(".PDB"), 0, Qt::CaseInsensitive));
    if (pdb >= 0)
        name.remove(pdb, 4);
    edit->setText(name);
}

}  // namespace quorvil
