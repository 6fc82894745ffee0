#include "shell/uInfoPage.h"

#include "ui_uInfoPage.h"

namespace {

// A group is shown while any of the widgets it holds directly is.
void FitGroup(QWidget *group)
{
    bool any = false;
    for (QWidget *child : group->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        any = any || !child->isHidden();
    group->setVisible(any);
}

} // namespace

TfInfoPage::TfInfoPage(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TfInfoPage>())
{
    ui->setupUi(this);
    valuePanels_ = {ui->pActQuan1, ui->pActQuan2, ui->pActQuan3, ui->pActQuan4, ui->pActQuan5};
    relayTexts_ = {ui->stActStateRe1, ui->stActStateRe2};
    // Both relay rows keep the button's place, so their state panels line up.
    for (QPushButton *button : {ui->bFarCondRe1, ui->bFarCondRe2}) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
    }
    connect(ui->bFarCondRe1, &QPushButton::clicked, this, [this] { Q_EMIT FarControlClicked(1); });
    connect(ui->bFarCondRe2, &QPushButton::clicked, this, [this] { Q_EMIT FarControlClicked(2); });
}

TfInfoPage::~TfInfoPage() = default;

void TfInfoPage::SetRow(QLabel *label, QLabel *value, const TInfoRow &row)
{
    label->setText(row.label);
    value->setText(row.value);
    label->setVisible(row.visible);
    value->setVisible(row.visible);
}

void TfInfoPage::ApplyLayout(const TInformationLayout &l)
{
    SetRow(ui->lActAddr, ui->stActAddr, l.address);
    SetRow(ui->lSensNameOrProtocol, ui->stActSensNameOrProtocol, l.nameOrProtocol);
    SetRow(ui->lActSensType, ui->stActSensType, l.type);
    SetRow(ui->lActSerNum, ui->stActSerNum, l.serialNumber);
    SetRow(ui->lActFirmVer, ui->stActFirmVer, l.firmware);
    QLabel *labels[ValueRowCount] = {ui->lQuan1, ui->lQuan2, ui->lQuan3, ui->lQuan4, ui->lQuan5};
    for (int row = 0; row < ValueRowCount; ++row)
        SetRow(labels[row], valuePanels_[static_cast<size_t>(row)], l.quantities[static_cast<size_t>(row)]);

    QWidget *panels[RelayCount] = {ui->pStateRe1, ui->pStateRe2};
    QPushButton *buttons[RelayCount] = {ui->bFarCondRe1, ui->bFarCondRe2};
    QLabel *relayLabels[RelayCount] = {ui->lRe1, ui->lRe2};
    for (int relay = 0; relay < RelayCount; ++relay) {
        const bool far = l.farControlVisible[static_cast<size_t>(relay)];
        relayLabels[relay]->setVisible(l.relayRowsVisible || far);
        relayTexts_[static_cast<size_t>(relay)]->setVisible(l.relayRowsVisible);
        relayTexts_[static_cast<size_t>(relay)]->clear();
        buttons[relay]->setVisible(far);
        panels[relay]->setVisible(l.relayRowsVisible || far);
    }

    ui->rbModBus->setVisible(l.modbusVisible);
    ui->rbSNMP->setVisible(true);
    ui->rbModBus->setChecked(l.modbusSelected);
    ui->rbSNMP->setChecked(!l.modbusSelected);
    ui->gbProtocol->setVisible(l.protocolGroupVisible);

    FitGroup(ui->gbDevice);
    FitGroup(ui->gbQuants);
    FitGroup(ui->gbRelays);
}

void TfInfoPage::ShowValues(const std::array<QString, ValueRowCount> &values,
                            const std::array<QString, RelayCount> &relays)
{
    for (size_t row = 0; row < values.size(); ++row)
        valuePanels_[row]->setText(values[row]);
    for (size_t relay = 0; relay < relays.size(); ++relay)
        relayTexts_[relay]->setText(relays[relay]);
}

void TfInfoPage::ShowReadingError()
{
    const QString text = tr("Reading error");
    for (QLabel *panel : valuePanels_)
        panel->setText(text);
    for (QLabel *relay : relayTexts_)
        relay->setText(text);
}

bool TfInfoPage::ModbusSelected() const
{
    return ui->rbModBus->isChecked();
}
