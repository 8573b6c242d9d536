#include "csv_options_dialog.h"

#include "base_dialog.h"
#include "text_convert.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvil {

class TCsvOptionsForm : public TBase {
public:
    explicit TCsvOptionsForm(QWidget* parent) : TBase("CsvOptionsForm", parent)
    {
        setWindowTitle(FromUtf8("CSV for other programs"));
        auto* separators = new QGroupBox(FromUtf8("Separator"), Panel2());
        comma_ = new QRadioButton(FromUtf8("Comm&a ( , )"), separators);
        comma_->setObjectName(FromUtf8("CommaBtn"));
        semicolon_ = new QRadioButton(FromUtf8("&Semicolon ( ; ), where the comma is the decimal mark"), separators);
        semicolon_->setObjectName(FromUtf8("SemicolonBtn"));
        auto* column = new QVBoxLayout(separators);
        column->addWidget(comma_);
        column->addWidget(semicolon_);
        mark_ = new QCheckBox(FromUtf8("Start with a byte-order &mark (spreadsheets need it to read UTF-8)"), Panel2());
        mark_->setObjectName(FromUtf8("MarkBox"));
        auto* layout = new QVBoxLayout(Panel2());
        layout->setContentsMargins(8, 8, 8, 4);
        layout->addWidget(separators);
        layout->addWidget(mark_);
        RestorePosition();
    }

    void Show(const TStandardCsvOptions& options)
    {
        (options.Separator == ';' ? semicolon_ : comma_)->setChecked(true);
        mark_->setChecked(options.ByteOrderMark);
    }

    TStandardCsvOptions Chosen() const
    {
        TStandardCsvOptions options;
        options.Separator = semicolon_->isChecked() ? ';' : ',';
        options.ByteOrderMark = mark_->isChecked();
        return options;
    }

private:
    QRadioButton* comma_;
    QRadioButton* semicolon_;
    QCheckBox* mark_;
};

std::optional<TStandardCsvOptions> ChooseStandardCsvOptions(const TStandardCsvOptions& initial)
{
    TCsvOptionsForm form(QApplication::activeWindow());
    form.Show(initial);
    if (!form.Execute())
        return std::nullopt;
    return form.Chosen();
}

}  // namespace quorvil
