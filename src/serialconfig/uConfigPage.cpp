#include "serialconfig/uConfigPage.h"

#include "serialconfig/uPageBinder.h"
#include "ui_uConfigPage.h"

TfConfigPage::TfConfigPage(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TfConfigPage>())
{
    ui->setupUi(this);
}

TfConfigPage::~TfConfigPage() = default;

std::unique_ptr<TPageBinder> TfConfigPage::Bind(TConfigPageModel &model, IPageHost &host)
{
    return std::make_unique<TPageBinder>(this, std::make_unique<TConfigPageActions>(model), host);
}

void TfConfigPage::ShowNoModbusLabel(bool shown)
{
    ui->lNoModBus->setVisible(shown);
}
