#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class TfConfigPage;
}
class IPageHost;
class TConfigPageModel;
class TPageBinder;

// The Configuration page: protocol, baud rate and address, the computed
// quantity, the units, the display options and the pressure used for the
// computed quantities. Its controls carry the Configuration page model's
// names; the model decides what they show. The frames fPressAlt and fAlt2Pre
// and the group gbCAlarms receive the parts laid out by their own units.
class TfConfigPage : public QWidget {
    Q_OBJECT
public:
    explicit TfConfigPage(QWidget *parent = nullptr);
    ~TfConfigPage() override;

    // Shows the model on the page and reports the user's actions to it until
    // the binder is destroyed.
    std::unique_ptr<TPageBinder> Bind(TConfigPageModel &model, IPageHost &host);

    // lNoModBus: the protocol in use cannot reach every setting.
    void ShowNoModbusLabel(bool shown);

private:
    std::unique_ptr<Ui::TfConfigPage> ui;
};
