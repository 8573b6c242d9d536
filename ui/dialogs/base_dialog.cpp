#include "base_dialog.h"

#include "form_position.h"
#include "modal.h"
#include "text_convert.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvil {

TBase::TBase(const char* name, QWidget* parent)
    : QDialog(parent), panel1_(new QWidget(this)), panel2_(new QWidget(this))
{
    setObjectName(FromUtf8(name));
    setWindowTitle(FromUtf8("Base"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    panel1_->setObjectName(FromUtf8("Panel1"));
    panel2_->setObjectName(FromUtf8("Panel2"));
    ok_ = new QPushButton(FromUtf8("&OK"), panel1_);
    ok_->setObjectName(FromUtf8("OkBtn"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(FromUtf8("&Cancel"), panel1_);
    cancel_->setObjectName(FromUtf8("CancelBtn"));
    auto* bottom = new QHBoxLayout(panel1_);
    bottom->setContentsMargins(8, 4, 8, 8);
    bottom->addStretch();
    bottom->addWidget(cancel_);
    bottom->addWidget(ok_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel2_, 1);
    layout->addWidget(panel1_);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

TBase::~TBase()
{
    SaveFormPosition(*this);
}

void TBase::RestorePosition()
{
    LoadFormPosition(*this);
}

bool TBase::Execute()
{
    return ExecModal(*this) == QDialog::Accepted;
}

}  // namespace quorvil
