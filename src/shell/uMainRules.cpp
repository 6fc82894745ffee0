#include "shell/uMainRules.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TfTMain", text);
}

} // namespace

bool FactoryDefaultsShown(bool netConnected, TMainPage page)
{
    if (!netConnected)
        return false;
    switch (page) {
    case TMainPage::Config:
    case TMainPage::Channels:
    case TMainPage::Setup1:
    case TMainPage::Setup2:
    case TMainPage::Setup3:
    case TMainPage::Relay:
    case TMainPage::Input:
        return true;
    default:
        return false;
    }
}

TMainView MainRules(const TMainRulesInput &in)
{
    TMainView view;
    view.pagesVisible = in.connected;
    view.connectEnabled = in.connected || in.commSettingAccepted;
    view.sensorMenuVisible = in.connected || in.commSettingAccepted;
    view.saveEnabled = false;
    view.updateFWEnabled = in.serviceMenuVisible;
    if (!in.connected) {
        view.connectCaption = tr("Connect");
        view.connectHint = tr("Connect the sensor according to communication settings.");
        view.connectImage = ImageConnect;
        view.statusText = tr("Press 'Connect' button to connect sensor");
        return view;
    }
    view.connectCaption = tr("Disconnect");
    view.connectHint = tr("Disconnect the sensor.");
    view.connectImage = ImageDisconnect;
    view.statusText = tr("Sensor is connected");
    view.factDefsVisible = FactoryDefaultsShown(in.netConnected, in.page);
    view.calibrateEnabled = in.servicePageShown && in.calibrationVisible;
    view.restoreConfEnabled = in.servicePageShown && in.confManGroupVisible;
    view.updateFWEnabled = in.serviceMenuVisible && in.interfaceType == 3;
    return view;
}
