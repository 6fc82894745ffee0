#include "shell/uTTelnetPswd.h"

#include "ui_uTTelnetPswd.h"

TfTTelnetPswd::TfTTelnetPswd(const QString &title, int maxLength, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfTTelnetPswd>())
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(title);
    if (maxLength > 0)
        ui->ePassword->setMaxLength(maxLength);
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfTTelnetPswd::~TfTTelnetPswd() = default;

QString TfTTelnetPswd::Password() const
{
    return ui->ePassword->text();
}

std::optional<QString> TfTTelnetPswd::Execute(QWidget *parent, const QString &title, int maxLength)
{
    TfTTelnetPswd dialog(title, maxLength, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Password();
}
