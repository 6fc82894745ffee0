#include "shell/uExWrnDlg.h"

#include "ui_uExWrnDlg.h"

#include <QStyle>

namespace {

constexpr int IconSizePx = 32;

} // namespace

TfExWrnDlg::TfExWrnDlg(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TfExWrnDlg>())
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->lIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(IconSizePx, IconSizePx));
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

TfExWrnDlg::~TfExWrnDlg() = default;

bool TfExWrnDlg::DontShowAgain() const
{
    return ui->chbDontShow->isChecked();
}

// The box has only OK; Escape is another way of saying it, so the check box
// counts either way.
bool TfExWrnDlg::Execute(QWidget *parent)
{
    TfExWrnDlg dialog(parent);
    dialog.exec();
    return dialog.DontShowAgain();
}
