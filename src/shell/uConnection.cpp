#include "shell/uConnection.h"

#include "model/uDeviceTypeTable.h"
#include "serialconfig/uRegisterMap.h"
#include "shell/uClock.h"
#include "shell/uMessages.h"
#include "transport/uPortNames.h"
#include "transport/uSyncRS.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TSensorConnection", text);
}

// Modbus identification keeps trying this long before the sensor counts as
// silent.
constexpr qint64 IdentifyBudgetMs = 2000;
// A failed attempt that ended at once (a port that cannot be opened) is not
// repeated faster than this.
constexpr int RetryPauseMs = 20;

constexpr quint8 TypeCodeServiceDevice = 88;
constexpr quint8 TypeCodeWebNetwork = 108;
constexpr quint8 ExplosionWarningTypes[] = {85, 86, 87};


} // namespace

namespace ConnectionTexts {

QString UnexpectedFailure() { return tr("Unexpected sensor read/write failure occured!"); }
QString ConnectionFailed() { return tr("Sensor connection failed!"); }
QString PortBusy() { return tr("Selected port is already opened by another application!"); }
QString FirmwareNotSupported()
{
    return tr("Firmware version on the connecting device is not supported by this program version.");
}
QString DeviceNotSupported() { return tr("Connecting device is not supported by this program version."); }
QString InterfaceDifferent(const QString &typeName)
{
    return tr("Interface for connected sensor %1 is different from selected!").arg(typeName) +
           tr(" Select correct communication interface and try to connect again.");
}
QString SensorChanged()
{
    return tr("Connected sensor was changed!") +
           tr(" Select correct communication interface and try to connect again.");
}
QString PortRemoved()
{
    return tr("USB device was disconnected!") +
           tr(" Sensor will be disconnected! Press 'Connect' button to connect again.");
}

QString WriteProtected() { return tr("Sensor is write-protected! Please close jumper!"); }

} // namespace ConnectionTexts

TWriteProtectDevice WriteProtectDeviceOf(const TSensType &type)
{
    return {type.GetFamily() == DeviceFamily::Transmitter && type.IsKeypadGeneration(),
            type.GetJumperPicture() != 0 ? 2 : 1};
}

TSensorConnection::TSensorConnection(TSession &session, IConnectionUi &ui) : s(session), ui(ui) {}

int TSensorConnection::WindowInterfaceOfType(const TSensType &type)
{
    const int device = type.GetInterface();
    if (device == DeviceInterface::CurrentOutput || device == DeviceInterface::VoltageOutput || type.GetServiceCable())
        return InterfaceServiceCable;
    switch (device) {
    case DeviceInterface::RS232: return InterfaceRS232;
    case DeviceInterface::RS485: return InterfaceRS485;
    case DeviceInterface::Ethernet: return InterfaceEthernet;
    default: return -1;
    }
}

bool TSensorConnection::FirmwareSupported(const TSensType &type, quint16 v)
{
    if (type.IsKeypadGeneration())
        return v <= 0x0431 || (v >= 0x0500 && v <= 0x0507);
    return v <= 0x0280 || (v >= 0x0290 && v <= 0x0293);
}

bool TSensorConnection::InterfaceMatches() const
{
    const bool cable = s.SensType.GetServiceCable();
    const int device = s.SensType.GetInterface();
    const int chosen = s.InterfaceType;
    return (cable && chosen == InterfaceServiceCable) ||
           (!cable && chosen == InterfaceRS232 && device == DeviceInterface::RS232) ||
           (!cable && chosen == InterfaceRS485 && device == DeviceInterface::RS485) ||
           (chosen == InterfaceEthernet && device == DeviceInterface::Ethernet);
}

TConnectOutcome TSensorConnection::Connect()
{
    if (s.Connected() || s.InterfaceType == InterfaceNone)
        return TConnectOutcome::NotStarted;
    rememberedStatus_ = ui.StatusText();
    ui.SetStatusText(tr("Sensor connecting in progress") + tr(", please wait..."));
    ui.SetBusy(true);
    bool firmwareOk = true;
    try {
        // The Ethernet configuration record is read for Ethernet sensors
        // only; serial sensors start without one.
        s.NetConnected = false;
        if (s.InterfaceType == InterfaceEthernet)
            throw ESensorRead(ConnectionTexts::UnexpectedFailure());
        s.ModbusEnabled = true;
        IdentifySerialSensor();
        if (s.FirmwareCheck)
            firmwareOk = FirmwareSupported(s.SensType, s.FirmwareVersion);
    } catch (const Exception &) {
        ui.SetBusy(false);
        ui.SetStatusText(QString());
        ReportFailure();
        return TConnectOutcome::Failed;
    }
    ui.SetBusy(false);
    ui.SetStatusText(QString());
    return AcceptOrRefuse(firmwareOk);
}

void TSensorConnection::ReportFailure()
{
    CloseTransports();
    // The port check needs our own ports closed: they hold its lock.
    const bool portBusy = !s.MspConnected && s.InterfaceType <= InterfaceRS485 &&
                          CheckComPort(s.ComPort) == cpsBusy;
    // A failed connect leaves nothing connected, so the next click connects.
    s.MspConnected = false;
    s.NetConnected = false;
    ShowMessageOK(portBusy ? ConnectionTexts::PortBusy() : ConnectionTexts::ConnectionFailed(),
                  TMsgDlgType::mtError);
    ui.SetStatusText(rememberedStatus_);
    ui.OpenCommSettings();
}

TConnectOutcome TSensorConnection::AcceptOrRefuse(bool firmwareOk)
{
    // Web-configured devices and type 108 offer their web page instead of
    // the setup pages. A serial sensor reports no module firmware.
    const quint32 moduleVersion = 0;
    bool webOnly = s.SensType.IsKeypadGeneration() && moduleVersion > 0x08FFFFFF;
    bool type108 = s.SensType.GetTypeCode() == TypeCodeWebNetwork;
    const int family = s.SensType.GetFamily();
    const bool family3 = family == DeviceFamily::WebGroupA;
    const bool family45 = family == DeviceFamily::WebGroupB || family == DeviceFamily::WebGroupC;
    bool networkOnly = false;
    bool networkOnly108 = false;
    bool calibrateOnly = false;
    if (webOnly || type108 || family3 || family45) {
        TWebSetRequest request;
        request.webOnly = webOnly;
        request.networkSettings = webOnly || type108;
        request.calibrate = webOnly && ui.ServiceMenuVisible();
        request.deviceName = s.AlterNames.AlterName(s.SensType.GetName()) + QLatin1Char(' ');
        request.url = QStringLiteral("http://") + s.IPAddress;
        const int result = ui.ShowWebSetDialog(request);
        if (result == wsNetworkSettings) {
            networkOnly = webOnly;
            networkOnly108 = type108;
            webOnly = type108 = false;
        } else if (result == wsCalibrate && webOnly) {
            calibrateOnly = true;
            webOnly = false;
        }
    }
    bool serviceOnly = false;
    if (s.SensType.GetTypeCode() == TypeCodeServiceDevice) {
        if (ui.ServiceMenuVisible() && s.ProductionMode)
            serviceOnly = true;
        else
            s.SensType.SetTypeCode(0);
    }
    const bool stillWeb = webOnly || type108 || family3 || family45;
    if (firmwareOk && s.SensType.GetTypeCode() != 0 && !stillWeb && InterfaceMatches()) {
        Accept(calibrateOnly, serviceOnly, networkOnly, networkOnly108);
        return TConnectOutcome::Accepted;
    }

    if (family == DeviceFamily::EthernetSensor)
        s.NetMbus.Close();
    CloseTransports();
    s.NetConnected = false;
    s.MspConnected = false;
    // The settings dialog opens on the interface the device really has; a
    // device of no known type keeps the user's choice.
    const int deviceInterface = WindowInterfaceOfType(s.SensType);
    if (s.SensType.GetTypeCode() != 0 && deviceInterface >= 0)
        s.InterfaceType = static_cast<quint8>(deviceInterface);
    if (stillWeb) {
        ui.SetStatusText(rememberedStatus_);
        return TConnectOutcome::Refused;
    }
    if (!firmwareOk)
        ShowMessageOK(ConnectionTexts::FirmwareNotSupported(), TMsgDlgType::mtInformation);
    else if (s.SensType.GetTypeCode() == 0)
        ShowMessageOK(ConnectionTexts::DeviceNotSupported(), TMsgDlgType::mtInformation);
    else
        ShowMessageOK(ConnectionTexts::InterfaceDifferent(s.SensType.GetName()), TMsgDlgType::mtWarning);
    ui.SetStatusText(rememberedStatus_);
    ui.OpenCommSettings();
    return TConnectOutcome::Refused;
}

void TSensorConnection::Accept(bool calibrateOnly, bool serviceOnly, bool networkOnly, bool networkOnly108)
{
    const quint8 code = s.SensType.GetTypeCode();
    if (s.ShowExWrn && std::find(std::begin(ExplosionWarningTypes), std::end(ExplosionWarningTypes), code) !=
                           std::end(ExplosionWarningTypes))
        s.ShowExWrn = !ui.ShowExWarning();
    // Serial sensors carry no device password.
    s.SetupAllowed = true;
    const bool family1 = s.SensType.GetFamily() == DeviceFamily::Transmitter;
    if (family1 && !s.ModbusEnabled && !networkOnly)
        ShowMessageOK(tr("ModBus is disabled! Some setup functions will not be available!"), TMsgDlgType::mtWarning);
    const bool noModbusLabel = family1 && s.Protocol.GetProtocolType() != ProtocolType::ModBus;
    TPageSet pages = TPageSet::Full;
    if (calibrateOnly)
        pages = TPageSet::CalibrateOnly;
    else if (serviceOnly)
        pages = TPageSet::ServiceOnly;
    else if (networkOnly)
        pages = TPageSet::NetworkOnly;
    else if (networkOnly108)
        pages = TPageSet::NetworkOnly108;
    ui.ShowSensor(pages, noModbusLabel);
}

void TSensorConnection::IdentifySerialSensor()
{
    s.MspConnected = false;
    ConfigureTransports();
    // A letter address speaks only the Poseidon protocol, which is not
    // offered yet: nothing else is tried.
    if (s.CharAddress)
        throw ESensorRead(ConnectionTexts::UnexpectedFailure());
    if (TryModbus())
        return;
    // The ADAM and Arion probes join here.
    throw ESensorRead(ConnectionTexts::UnexpectedFailure());
}

void TSensorConnection::ConfigureTransports()
{
    if (s.InterfaceType == InterfaceEthernet) {
        s.Msp.SetProtocolKind(TSyncMBus::KindTcp);
        s.Msp.SetTcpPort(s.ModbusTcpPort);
        s.Msp.SetHostName(s.IPAddress);
        s.Msp.SlaveAddress = 1;
        return;
    }
    s.Msp.SetProtocolKind(TSyncMBus::KindRtu);
    s.Msp.SetComPort(s.ComPort);
    s.BitRate.SetValue(static_cast<quint32>(s.BaudRate));
    s.Msp.SetBaudRate(s.BitRate.GetBaudType());
    s.Msp.SlaveAddress = s.DeviceAddress;
}

bool TSensorConnection::TryModbus()
{
    TSegmentImage rom{};
    const qint64 start = Clock().NowMs();
    s.Msp.AutoTimeout = true;
    for (;;) {
        try {
            s.Msp.ReadSegment(1, s.SegmentImage1);
            s.Msp.ReadSegment(2, s.SegmentImage2);
            s.SavedImage1 = s.SegmentImage1;
            s.SavedImage2 = s.SegmentImage2;
            s.Msp.ReadSegment(3, rom);
            s.Msp.AutoTimeout = false;
            break;
        } catch (const Exception &) {
            if (Clock().NowMs() - start >= IdentifyBudgetMs) {
                s.Msp.Close();
                s.Msp.AutoTimeout = false;
                return false;
            }
            Delay(RetryPauseMs);
        }
    }
    DecodeModbusIdentity(rom);
    s.MspConnected = true;
    return true;
}

void TSensorConnection::DecodeModbusIdentity(const TSegmentImage &rom)
{
    const TFirmwareIdentity identity = FirmwareIdentity(rom);
    s.FirmwareVersion = identity.version;
    s.FirmwareDate = identity.date;
    const int d = FirmwareNumber(s.FirmwareVersion);
    s.BitRate.SetCode(ImageWord(Reg::BaudDivisor, s.SegmentImage2));
    if (d > 209) {
        s.Protocol.SetCode(ImageWord(Reg::ProtocolCode, s.SegmentImage2));
        s.Protocol.SetOption(ImageWord(Reg::ProtocolOption, s.SegmentImage2));
    } else {
        s.Protocol.SetProtocolType(ProtocolType::ModBus);
    }
    s.SensType.SetDeviceId(ImageWord(Reg::DeviceId, s.SegmentImage1));
    SetQuantitiesFromImages(d);
}

void TSensorConnection::SetQuantitiesFromImages(int d)
{
    const quint16 quantities = s.SensType.GetQuantities();
    const quint16 config = ImageWord(Reg::ConfigWord, s.SegmentImage1);
    const TConfigWord channels(config);
    const quint16 unitWord = ImageWord(Reg::UnitWord, s.SegmentImage2);
    const bool oldFirmware = d <= 220;

    const auto setUnit = [&](TQuantity &q, quint8 oldUnit) {
        if (d < 230)
            q.SetUnitType(oldUnit);
        else
            q.SetUnitWord(unitWord);
    };
    const bool temperature = (quantities & QuantityBit::Temperature) != 0 &&
                             (oldFirmware || channels.Test(TConfigBit::TemperatureChannel));
    s.Temperature.SetQuantityType(temperature ? QuantityType::Temperature : QuantityType::None);
    if (temperature)
        setUnit(s.Temperature, UnitType::Celsius);

    const bool humidity = (quantities & QuantityBit::RelativeHumidity) != 0 && channels.Test(TConfigBit::HumidityChannel);
    s.Humidity.SetQuantityType(humidity ? QuantityType::RelativeHumidity : QuantityType::None);

    const bool pressure = (quantities & QuantityBit::Pressure) != 0 &&
                          (oldFirmware || channels.Test(TConfigBit::PressureOrCO2Channel));
    s.Pressure.SetQuantityType(pressure ? QuantityType::Pressure : QuantityType::None);
    if (pressure)
        setUnit(s.Pressure, UnitType::HPa);

    const bool co2 = (quantities & QuantityBit::CO2) != 0 && channels.Test(TConfigBit::PressureOrCO2Channel);
    s.CO2.SetQuantityType(co2 ? QuantityType::CO2 : QuantityType::None);
    if (co2)
        s.CO2.SetUnitWord(unitWord);

    s.Computed.SetQuantityWord(config);
    if (temperature && humidity && !s.SensType.GetFixedConfig()) {
        if (s.Computed.GetQuantityType() == QuantityType::None || d < 215)
            s.Computed.SetQuantityType(QuantityType::DewPoint);
    } else {
        s.Computed.SetQuantityType(QuantityType::None);
    }
    if (s.Computed.GetQuantityType() == QuantityType::DewPoint)
        s.Computed.SetUnitType(s.Temperature.GetUnitType());
}

void TSensorConnection::CloseTransports()
{
    s.Msp.Close();
    // The ADAM, Arion and Poseidon ports close here.
}

void TSensorConnection::Disconnect()
{
    ui.ShowDisconnected();
    if (s.Connected()) {
        if (s.SensType.GetFamily() == DeviceFamily::EthernetSensor)
            s.NetMbus.Close();
        CloseTransports();
        s.SetupAllowed = false;
        s.ModbusEnabled = false;
        s.NetConnected = false;
        s.MspConnected = false;
    }
}

void TSensorConnection::CheckSensorIdentity()
{
    quint16 high = 0;
    quint16 low = 0;
    try {
        s.Msp.ReadRegisterPair(Reg::SerialNumberLow, high, low);
    } catch (const Exception &) {
        throw ESensorWrite(ConnectionTexts::UnexpectedFailure());
    }
    if (low != ImageWord(Reg::SerialNumberLow, s.SegmentImage1) ||
        high != ImageWord(Reg::SerialNumberHigh, s.SegmentImage1))
        throw ESensorChanged(ConnectionTexts::SensorChanged());
}

void TSensorConnection::PortRemoved(const QString &name)
{
    const int port = PortNames::ParseComNumber(name);
    if (port != s.ComPort || !s.Connected() || s.SensType.GetInterface() == DeviceInterface::Ethernet)
        return;
    ShowMessageOK(ConnectionTexts::PortRemoved(), TMsgDlgType::mtWarning);
    Disconnect();
    ui.OpenCommSettings();
}
