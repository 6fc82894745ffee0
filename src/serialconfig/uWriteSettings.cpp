#include "serialconfig/uWriteSettings.h"

#include "model/uDeviceTypeTable.h"
#include "shell/uMessages.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TSensorWriter", text);
}


// Puts the window back as it was before Save Changes, whatever way it ends.
class TWriteScope {
public:
    TWriteScope(IConnectionUi &ui, TMSPModbus &msp) : ui_(ui), msp_(msp), status_(ui.StatusText())
    {
        ui_.SetStatusText(tr("Data writing in progress") + tr(", please wait..."));
        ui_.SetBusy(true);
    }
    ~TWriteScope()
    {
        msp_.PatchIdentity = true;
        if (busy_)
            ui_.SetBusy(false);
        if (restoreStatus_)
            ui_.SetStatusText(status_);
    }
    TWriteScope(const TWriteScope &) = delete;
    TWriteScope &operator=(const TWriteScope &) = delete;

    void SetBusy(bool busy)
    {
        if (busy != busy_)
            ui_.SetBusy(busy);
        busy_ = busy;
    }
    // The sequence ended by disconnecting: the Disconnected state has its
    // own status text.
    void Finished() { restoreStatus_ = false; }

private:
    IConnectionUi &ui_;
    TMSPModbus &msp_;
    QString status_;
    bool busy_ = true;
    bool restoreStatus_ = true;
};


} // namespace

TSensorWriter::TSensorWriter(TSession &session, TSensorConnection &connection, IConnectionUi &ui)
    : s(session), connection_(connection), ui(ui)
{
}

bool TSensorWriter::RestartNeeded(int deviceInterface, quint8 f, quint8 r, bool baudChanged)
{
    if (deviceInterface != DeviceInterface::RS485)
        return false;
    return f == ProtocolType::Arion || r == ProtocolType::Arion ||
           (f == ProtocolType::ModBus && (r != ProtocolType::ModBus || baudChanged));
}

void TSensorWriter::WriteToSensor(const TSerialConfigPages *pages)
{
    TWriteScope scope(ui, s.Msp);
    const quint8 connected = s.Protocol.GetProtocolType();
    // The ADAM, Arion and Poseidon sensors' own writes are not offered yet:
    // saving one must not report a success nothing stands behind.
    if (s.MspConnected && connected != ProtocolType::ModBus)
        throw ESensorWrite(ConnectionTexts::UnexpectedFailure());
    std::optional<TModbusSave> save;
    if (s.MspConnected) {
        connection_.CheckSensorIdentity();
        if (pages != nullptr) {
            save = PrepareModbusSave(*pages);
        } else {
            save.emplace();
            save->Image1 = s.SegmentImage1;
            save->Image2 = s.SegmentImage2;
            save->ChosenProtocolType = connected;
        }
    }
    if (save && !WriteBlocks(*save))
        return;
    // The pages go with the connection.
    const std::optional<TCommSettingsChoice> choice =
        pages != nullptr ? std::optional(ChosenCommSettings(*pages)) : std::nullopt;
    scope.SetBusy(false);
    connection_.Disconnect();
    scope.Finished();
    if (choice)
        RememberSettings(*choice);
    const quint8 chosen = save ? save->ChosenProtocolType : connected;
    if (RestartNeeded(s.SensType.GetInterface(), connected, chosen, save && save->BaudChanged))
        ShowMessageOK(tr("It is needed to restart the sensor to apply this change! Please disconnect power supply "
                         "and then connect it again."),
                      TMsgDlgType::mtWarning);
    ShowMessageOK(tr("New settings were successfully written into your sensor."), TMsgDlgType::mtInformation);
}

bool TSensorWriter::WriteBlocks(const TModbusSave &save)
{
    for (;;) {
        try {
            // The images carry the line settings the user chose: they must
            // reach the device as they are.
            s.Msp.PatchIdentity = false;
            if (save.Image1 != s.SavedImage1) {
                s.Msp.WriteSegment(1, save.Image1);
                s.SavedImage1 = s.SegmentImage1 = save.Image1;
            }
            if (save.Image2 != s.SavedImage2) {
                s.Msp.WriteSegment(2, save.Image2);
                s.SavedImage2 = s.SegmentImage2 = save.Image2;
            }
            s.Msp.PatchIdentity = true;
            return true;
        } catch (const Exception &e) {
            s.Msp.PatchIdentity = true;
            if (e.Message() != WriteProtectedText())
                throw;
            const int answer = ShowWriteProtected(ConnectionTexts::WriteProtected(),
                                                  TMsgDlgType::mtError, mrRetry, mbAbort | mbRetry | mbHelp,
                                                  WriteProtectDeviceOf(s.SensType));
            if (answer != mrRetry)
                return false;
        }
    }
}

void TSensorWriter::RememberSettings(const TCommSettingsChoice &choice)
{
    if (choice.BaudRate > 0)
        s.BaudRate = static_cast<int>(choice.BaudRate);
    s.CharAddress = choice.CharAddress;
    s.DeviceAddress = static_cast<quint8>(choice.Address);
}

TSerialPageContext SerialPageContextOf(const TSession &s)
{
    TSerialPageContext c{s.SensType, s.Protocol, s.BitRate, s.SegmentImage1, s.SegmentImage2};
    c.Temperature = &s.Temperature;
    c.Humidity = &s.Humidity;
    c.Pressure = &s.Pressure;
    c.CO2 = &s.CO2;
    c.Computed = &s.Computed;
    c.FirmwareNumber = FirmwareNumber(s.FirmwareVersion);
    c.SetupAllowed = s.SetupAllowed;
    c.MspConnected = s.MspConnected;
    c.NetConnected = s.NetConnected;
    // The ADAM, Arion and Poseidon identifications answer at the address
    // they were reached with; Modbus devices keep theirs in 0x2001.
    c.ProtocolAddress = s.DeviceAddress;
    c.CO2Option = s.CO2Option;
    return c;
}
