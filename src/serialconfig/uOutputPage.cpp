#include "serialconfig/uOutputPage.h"

#include "serialconfig/uPageBinder.h"
#include "ui_uOutputPage.h"

TfOutputPage::TfOutputPage(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TfOutputPage>())
{
    ui->setupUi(this);
}

TfOutputPage::~TfOutputPage() = default;

std::unique_ptr<TPageBinder> TfOutputPage::Bind(TOutputPageModel &model, IPageHost &host)
{
    return std::make_unique<TPageBinder>(this, std::make_unique<TOutputPageActions>(model), host);
}
