#pragma once

#include "shell/uValues.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TfInfoPage;
}
class QLabel;
class QPushButton;

// The Information page: the connected device's identity, the live values of
// up to five quantities, the two relay states with their far-control
// buttons, and the choice of the reading protocol of an Ethernet sensor.
class TfInfoPage : public QWidget {
    Q_OBJECT
public:
    explicit TfInfoPage(QWidget *parent = nullptr);
    ~TfInfoPage() override;

    // Shows the rows the layout names; value panels are emptied and groups
    // without a visible row are hidden.
    void ApplyLayout(const TInformationLayout &layout);
    // The texts of one reading pass (rows that are hidden stay untouched).
    void ShowValues(const std::array<QString, ValueRowCount> &values, const std::array<QString, RelayCount> &relays);
    // Every value panel and both relay texts say the reading failed.
    void ShowReadingError();
    bool ModbusSelected() const;

Q_SIGNALS:
    // An Activate button was pressed: relay 1 or 2.
    void FarControlClicked(int relay);

private:
    void SetRow(QLabel *label, QLabel *value, const TInfoRow &row);

    std::unique_ptr<Ui::TfInfoPage> ui;
    std::array<QLabel *, ValueRowCount> valuePanels_{};
    std::array<QLabel *, RelayCount> relayTexts_{};
};
