#include "shell/uTComSet.h"

#include "shell/uErrors.h"
#include "shell/uMessages.h"
#include "transport/uPortNames.h"
#include "transport/uSyncRS.h"
#include "ui_uTComSet.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>

#include <functional>

namespace {

QString NoComPortsText()
{
    return TfComSet::tr("No COM ports have been found! You won't be able to connect any sensors.");
}

QString PortVanishedText()
{
    return TfComSet::tr("Selected COM port was disconnected! Please select new COM port.");
}

// The busy cursor for as long as the ports are probed.
class TBusyCursor {
public:
    TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};

bool IsControlCharacter(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

// Typed characters pass only when accepts() takes each of them. Keys held
// with Ctrl or Alt are shortcuts (copy, paste, mnemonics) and pass, and so do
// keys that type no character or a control character (Backspace, Enter,
// Escape, Tab, the arrows).
bool KeyPasses(const QKeyEvent *event, bool (*accepts)(QChar))
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return true;
    const QString text = event->text();
    if (text.isEmpty())
        return true;
    for (QChar c : text)
        if (!IsControlCharacter(c) && !accepts(c))
            return false;
    return true;
}

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsAddressKey(QChar c)
{
    const char16_t u = c.unicode();
    return c == QLatin1Char('$') || IsAsciiDigit(c) || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

bool IsIPKey(QChar c)
{
    return c == QLatin1Char('.') || IsAsciiDigit(c);
}

constexpr int BaudUnknownIndex = 13;

} // namespace

TfComSet::TfComSet(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TfComSet>())
{
    ui->setupUi(this);
    commType_ = new QButtonGroup(this);
    commType_->addButton(ui->rbServiceCable, icServiceCable);
    commType_->addButton(ui->rbRS232, icRS232);
    commType_->addButton(ui->rbRS485, icRS485);
    commType_->addButton(ui->rbEthernet, icEthernet);
    ui->eDevAddr->installEventFilter(this);
    ui->eIP->installEventFilter(this);

    connect(commType_, &QButtonGroup::idClicked, this, &TfComSet::rgCommTypeClick);
    connect(ui->cbComPort, &TDropDownComboBox::DropDown, this, &TfComSet::cbComPortDropDown);
    connect(ui->btnFind, &QPushButton::clicked, this, &TfComSet::btnFindClick);
    connect(ui->btnOK, &QPushButton::clicked, this, &TfComSet::btnOKClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TfComSet::reject);

    PresetInterface(icServiceCable);
    FillComPortList();
    PresetComPort(DefaultComPort);
    PresetBaudRate(DefaultBaudRate);
    PresetCharAddress(false);
    PresetAddress(DefaultDeviceAddress);
    PresetIPAddress(QString::fromLatin1(DefaultIPAddress));
    FixSizeForEveryInterface();
}

void TfComSet::FixSizeForEveryInterface()
{
    // One size for all choices, so the dialog does not jump when the
    // interface changes.
    QSize size;
    for (int type = icServiceCable; type <= icEthernet; ++type) {
        ShowControlsFor(type, true);
        layout()->invalidate();
        size = size.expandedTo(layout()->totalSizeHint());
    }
    rgCommTypeClick();
    setFixedSize(size);
}

TfComSet::~TfComSet() = default;

void TfComSet::SetProductionOption(bool on)
{
    productionOption_ = on;
    rgCommTypeClick();
}

void TfComSet::PresetInterface(quint8 type)
{
    if (type > icEthernet) {
        results_.InterfaceType = icNone;
        return;
    }
    commType_->button(type)->setChecked(true);
    results_.InterfaceType = type;
    rgCommTypeClick();
}

void TfComSet::PresetComPort(int portNo)
{
    const bool valid = portNo >= PortNames::MinPort && portNo <= PortNames::MaxPort;
    results_.ComPort = valid ? static_cast<quint8>(portNo) : 0;
    SelectComPort(portNo);
}

void TfComSet::PresetBaudRate(int bitsPerSecond)
{
    const int index = bitsPerSecond == UnknownBaudRate ? BaudUnknownIndex
                                                       : ui->cbBaudRate->findText(QString::number(bitsPerSecond));
    if (index < 0)
        throw EConvertError(CommSettings::InvalidBaudRateText());
    ui->cbBaudRate->setCurrentIndex(index);
    results_.BaudRate = bitsPerSecond;
}

void TfComSet::PresetCharAddress(bool character)
{
    results_.CharAddress = character;
}

void TfComSet::PresetAddress(int address)
{
    constexpr int MaxAddress = 255;
    const bool character = results_.CharAddress;
    if (address < 0 || address > MaxAddress || (character && !CommSettings::IsAddressLetter(address)))
        throw EConvertError(CommSettings::InvalidAddressText());
    ui->eDevAddr->setText(character ? QString(QChar(address)) : QString::number(address));
    results_.DeviceAddress = static_cast<quint8>(address);
}

void TfComSet::PresetIPAddress(const QString &ip)
{
    const QString canonical = CommSettings::CanonicalIPAddress(ip);
    if (canonical.isEmpty())
        throw EConvertError(CommSettings::InvalidIPText());
    ui->eIP->setText(canonical);
    results_.IPAddress = canonical;
}

void TfComSet::Preset(const TCommSettings &s)
{
    PresetInterface(s.InterfaceType);
    PresetComPort(s.ComPort);
    PresetBaudRate(s.BaudRate);
    PresetCharAddress(s.CharAddress);
    PresetAddress(s.DeviceAddress);
    PresetIPAddress(s.IPAddress);
}

int TfComSet::SelectedInterface() const
{
    return commType_->checkedId();
}

void TfComSet::rgCommTypeClick()
{
    ShowControlsFor(SelectedInterface(), productionOption_);
}

void TfComSet::ShowControlsFor(int type, bool productionOption)
{
    const bool ethernet = type == icEthernet;
    const bool rs = type == icRS232 || type == icRS485;
    const bool baud = rs || (type == icServiceCable && productionOption);
    ui->lComPort->setVisible(!ethernet);
    ui->cbComPort->setVisible(!ethernet);
    ui->lBaudRate->setVisible(!ethernet && baud);
    ui->cbBaudRate->setVisible(!ethernet && baud);
    ui->lDevAddr->setVisible(rs);
    ui->eDevAddr->setVisible(rs);
    ui->lIP->setVisible(ethernet);
    ui->eIP->setVisible(ethernet);
    ui->btnFind->setVisible(ethernet);
}

int TfComSet::SelectedComPort() const
{
    if (ui->cbComPort->currentIndex() < 0)
        return -1;
    return PortNames::ParseComNumber(ui->cbComPort->currentText());
}

void TfComSet::SelectComPort(int portNo)
{
    QComboBox *list = ui->cbComPort;
    for (int i = 0; i < list->count(); ++i)
        if (PortNames::ParseComNumber(list->itemText(i)) == portNo) {
            list->setCurrentIndex(i);
            return;
        }
    // Not there: COM1 when listed, else the first port.
    for (int i = 0; i < list->count(); ++i)
        if (PortNames::ParseComNumber(list->itemText(i)) == DefaultComPort) {
            list->setCurrentIndex(i);
            return;
        }
    list->setCurrentIndex(list->count() > 0 ? 0 : -1);
}

bool TfComSet::FillComPortList()
{
    const int previous = SelectedComPort();
    bool previousListed = false;
    QStringList items;
    {
        const TBusyCursor busy;
        for (int n = PortNames::MinPort; n <= PortNames::MaxPort; ++n) {
            if (CheckComPort(n) == cpsAbsent)
                continue;
            items.append(PortNames::DisplayName(n));
            previousListed = previousListed || n == previous;
        }
    }
    ui->cbComPort->clear();
    ui->cbComPort->addItems(items);
    SelectComPort(previous);
    return previous < 0 || previousListed;
}

void TfComSet::cbComPortDropDown()
{
    FillComPortList();
}

void TfComSet::btnFindClick()
{
    // The device discovery dialog plugs in here: on OK with an address found
    // it puts that address into eIP.
}

void TfComSet::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    // After the dialog is on the screen, so the box has it as its owner.
    QTimer::singleShot(0, this, [this] {
        if (!ui->cbComPort->isHidden() && ui->cbComPort->count() == 0)
            WarnOnceNoComPorts();
    });
}

void TfComSet::WarnOnceNoComPorts()
{
    if (noPortWarned_)
        return;
    noPortWarned_ = true;
    ShowMessageOK(NoComPortsText(), TMsgDlgType::mtError);
}

void TfComSet::Refuse(const QString &text, QWidget *control)
{
    ShowMessageOK(text, TMsgDlgType::mtError);
    control->setFocus();
}

bool TfComSet::TakeComPort(TCommSettings &r)
{
    if (ui->cbComPort->isHidden()) {
        r.ComPort = static_cast<quint8>(qMax(SelectedComPort(), 0));
        return true;
    }
    const bool stillThere = FillComPortList();
    if (ui->cbComPort->count() == 0) {
        WarnOnceNoComPorts();
        ui->cbComPort->setFocus();
        return false;
    }
    if (!stillThere) {
        Refuse(PortVanishedText(), ui->cbComPort);
        return false;
    }
    r.ComPort = static_cast<quint8>(SelectedComPort());
    return true;
}

bool TfComSet::TakeAddress(TCommSettings &r)
{
    r.CharAddress = false;
    r.DeviceAddress = DefaultDeviceAddress;
    if (ui->eDevAddr->isHidden())
        return true;
    try {
        const CommSettings::TDeviceAddress a = CommSettings::ParseDeviceAddress(ui->eDevAddr->text());
        r.CharAddress = a.character;
        r.DeviceAddress = a.address;
        return true;
    } catch (const EConvertError &e) {
        Refuse(e.Message(), ui->eDevAddr);
        return false;
    }
}

bool TfComSet::TakeIPAddress(TCommSettings &r)
{
    if (ui->eIP->isHidden())
        return true;
    const QString text = ui->eIP->text();
    if (text.trimmed().isEmpty()) {
        Refuse(CommSettings::IPRequiredText(), ui->eIP);
        return false;
    }
    const QString canonical = CommSettings::CanonicalIPAddress(text);
    if (canonical.isEmpty()) {
        Refuse(CommSettings::InvalidIPText(), ui->eIP);
        return false;
    }
    r.IPAddress = canonical;
    return true;
}

void TfComSet::btnOKClick()
{
    TCommSettings r = results_;
    if (!TakeComPort(r))
        return;
    r.InterfaceType = static_cast<quint8>(SelectedInterface());
    r.BaudRate = DefaultBaudRate;
    if (!ui->cbBaudRate->isHidden())
        r.BaudRate = ui->cbBaudRate->currentIndex() == BaudUnknownIndex ? UnknownBaudRate
                                                                        : ui->cbBaudRate->currentText().toInt();
    if (!TakeAddress(r) || !TakeIPAddress(r))
        return;
    results_ = r;
    accept();
}

bool TfComSet::eDevAddrKeyPress(const QKeyEvent *event) const
{
    return KeyPasses(event, IsAddressKey);
}

bool TfComSet::eIPKeyPress(const QKeyEvent *event) const
{
    return KeyPasses(event, IsIPKey);
}

bool TfComSet::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (watched == ui->eDevAddr)
            return !eDevAddrKeyPress(key);
        if (watched == ui->eIP)
            return !eIPKeyPress(key);
    }
    return QDialog::eventFilter(watched, event);
}

namespace {

// Presets what it can; the first refused value is shown, the rest keep the
// dialog's own values.
void PresetFromFields(TfComSet &dialog, const TCommSettings &fields)
{
    const std::function<void()> steps[] = {
        [&] { dialog.PresetInterface(fields.InterfaceType); },
        [&] { dialog.PresetComPort(fields.ComPort); },
        [&] { dialog.PresetBaudRate(fields.BaudRate); },
        [&] { dialog.PresetCharAddress(fields.CharAddress); },
        [&] { dialog.PresetAddress(fields.DeviceAddress); },
        [&] { dialog.PresetIPAddress(fields.IPAddress); },
    };
    QString firstRefusal;
    for (const auto &step : steps) {
        try {
            step();
        } catch (const Exception &e) {
            if (firstRefusal.isEmpty())
                firstRefusal = e.Message();
        }
    }
    if (!firstRefusal.isEmpty())
        ShowMessageOK(firstRefusal, TMsgDlgType::mtError);
}

} // namespace

TCommSettingsOutcome RunCommSettings(QWidget *parent, TCommSettings &fields, bool productionOption)
{
    TfComSet dialog(parent);
    dialog.SetProductionOption(productionOption);
    if (fields.InterfaceType != icNone)
        PresetFromFields(dialog, fields);
    if (dialog.exec() != QDialog::Accepted)
        return TCommSettingsOutcome::Cancelled;
    if (dialog.BaudRate() <= 0)
        return TCommSettingsOutcome::AcceptedUnknownBaud;
    fields = dialog.Results();
    return TCommSettingsOutcome::Accepted;
}
