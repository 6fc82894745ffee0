#include "cli/uCliCommands.h"

#include "shell/uClock.h"
#include "shell/uConnection.h"
#include "shell/uMessages.h"
#include "shell/uValues.h"
#include "serialconfig/uRegisterMap.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace {

// The tool answers every question of the connection sequence on its own:
// no dialog is shown, each message is kept for the output.
class TCliUi final : public TQuietConnectionUi, public IMessagePresenter {
public:
    TCliUi() : previous_(MessagePresenter()) { SetMessagePresenter(this); }
    ~TCliUi() override { SetMessagePresenter(previous_); }

    int Show(const TMessageRequest &request) override
    {
        messages.append(request.text);
        return request.defaultResult;
    }
    void ShowJumperPicture(int) override {}

    QStringList messages;

private:
    IMessagePresenter *previous_;
};

// A connected sensor for the length of one command.
class TCliSession {
public:
    explicit TCliSession(const TCliOptions &o) : connection_(session, ui)
    {
        session.TakeCommSettings(o.settings);
        session.FirmwareCheck = !o.allFirmware;
        // Nobody is there to read the warning.
        session.ShowExWrn = false;
    }
    ~TCliSession() { connection_.Disconnect(); }

    TConnectOutcome Connect() { return connection_.Connect(); }
    QString Message() const { return ui.messages.isEmpty() ? QString() : ui.messages.last(); }

    TSession session;
    TCliUi ui;

private:
    TSensorConnection connection_;
};

int ExitCodeOf(TConnectOutcome outcome)
{
    switch (outcome) {
    case TConnectOutcome::Accepted: return ceAccepted;
    case TConnectOutcome::Refused: return ceRefused;
    case TConnectOutcome::NotStarted: return ceUsage;
    case TConnectOutcome::Failed: break;
    }
    return ceNoAnswer;
}

QList<const TQuantity *> ShownQuantities(const TSession &s)
{
    QList<const TQuantity *> list;
    for (int row = 0; row < ValueRowCount; ++row)
        if (RowQuantity(s, row).GetQuantityType() != QuantityType::None)
            list.append(&RowQuantity(s, row));
    return list;
}

QJsonObject IdentityJson(const TSession &s)
{
    QJsonArray quantities;
    for (const TQuantity *q : ShownQuantities(s))
        quantities.append(QJsonObject{{QStringLiteral("quantity"), q->GetName()},
                                      {QStringLiteral("unit"), q->GetUnitText()}});
    return QJsonObject{
        {QStringLiteral("accepted"), true},
        {QStringLiteral("type"), s.AlterNames.AlterName(s.SensType.GetName())},
        {QStringLiteral("typeCode"), s.SensType.GetTypeCode()},
        {QStringLiteral("family"), s.SensType.GetFamily()},
        {QStringLiteral("serialNumber"), SerialNumberText(s.SegmentImage1)},
        {QStringLiteral("firmware"), FirmwareVersionText(s.FirmwareVersion)},
        {QStringLiteral("firmwareDate"), FirmwareDateText(s.FirmwareDate)},
        {QStringLiteral("protocol"), s.Protocol.GetName()},
        {QStringLiteral("baudRate"), static_cast<qint64>(s.BitRate.GetValue())},
        {QStringLiteral("address"), ImageWord(Reg::DeviceAddress, s.SegmentImage2)},
        {QStringLiteral("quantities"), quantities},
    };
}

void PrintIdentity(const TSession &s, QTextStream &out)
{
    QStringList quantities;
    for (const TQuantity *q : ShownQuantities(s))
        quantities.append(q->GetUnitText().isEmpty() ? q->GetName()
                                                     : QStringLiteral("%1 [%2]").arg(q->GetName(), q->GetUnitText()));
    out << "Sensor type:      " << s.AlterNames.AlterName(s.SensType.GetName()) << " (type code "
        << s.SensType.GetTypeCode() << ", family " << s.SensType.GetFamily() << ")\n"
        << "Serial number:    " << SerialNumberText(s.SegmentImage1) << '\n'
        << "Firmware version: " << FirmwareText(s) << '\n'
        << "Protocol:         " << s.Protocol.GetName() << '\n'
        << "Baud rate:        " << s.BitRate.GetValue() << '\n'
        << "Address:          " << ImageWord(Reg::DeviceAddress, s.SegmentImage2) << '\n'
        << "Quantities:       " << quantities.join(QStringLiteral(", ")) << '\n';
}

// Connects and reports a failure or refusal; the exit code, ceAccepted when
// the sensor is connected.
int ConnectOrReport(TCliSession &cli, bool json, QTextStream &out, QTextStream &err)
{
    const TConnectOutcome outcome = cli.Connect();
    if (outcome == TConnectOutcome::Accepted)
        return ceAccepted;
    const QString message = cli.Message();
    if (json)
        out << QJsonDocument(QJsonObject{{QStringLiteral("accepted"), false}, {QStringLiteral("message"), message}})
                   .toJson(QJsonDocument::Compact)
            << '\n';
    else
        err << message << '\n';
    return ExitCodeOf(outcome);
}

bool IsNumber(const QString &text)
{
    return text != QLatin1String("---") && !text.startsWith(QCoreApplication::translate("TfInfoPage", "Error"));
}

QJsonObject PassJson(const TSession &s, const TValuesPass &pass)
{
    QJsonArray values;
    for (int row = 0; row < ValueRowCount; ++row) {
        const TQuantity &q = RowQuantity(s, row);
        if (q.GetQuantityType() == QuantityType::None)
            continue;
        const QString &text = pass.values[static_cast<size_t>(row)];
        values.append(QJsonObject{{QStringLiteral("quantity"), q.GetName()},
                                  {QStringLiteral("value"), IsNumber(text) ? QJsonValue(q.GetValue()) : QJsonValue()},
                                  {QStringLiteral("text"), text},
                                  {QStringLiteral("unit"), q.GetUnitText()}});
    }
    return QJsonObject{{QStringLiteral("values"), values}};
}

QString CsvField(QString text)
{
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')))
        text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return text;
}

void PrintPass(const TSession &s, const TValuesPass &pass, const TCliOptions &o, QTextStream &out)
{
    if (o.json) {
        out << QJsonDocument(PassJson(s, pass)).toJson(QJsonDocument::Compact) << '\n';
        return;
    }
    QStringList fields;
    if (o.csv)
        fields.append(QDateTime::currentDateTime().toString(Qt::ISODateWithMs));
    for (int row = 0; row < ValueRowCount; ++row) {
        const TQuantity &q = RowQuantity(s, row);
        if (q.GetQuantityType() == QuantityType::None)
            continue;
        const QString &text = pass.values[static_cast<size_t>(row)];
        if (o.csv)
            fields.append(IsNumber(text) ? QString::number(q.GetValue(), 'f', 6) : CsvField(text));
        else
            fields.append(QStringLiteral("%1: %2").arg(q.GetName(), text));
    }
    out << fields.join(o.csv ? QStringLiteral(",") : QStringLiteral("; ")) << '\n';
}

void PrintCsvHeader(const TSession &s, QTextStream &out)
{
    QStringList header{QStringLiteral("time")};
    for (const TQuantity *q : ShownQuantities(s))
        header.append(CsvField(q->GetUnitText().isEmpty() ? q->GetName()
                                                          : QStringLiteral("%1 [%2]").arg(q->GetName(), q->GetUnitText())));
    out << header.join(QLatin1Char(',')) << '\n';
}

} // namespace

int RunIdentify(const TCliOptions &o, QTextStream &out, QTextStream &err)
{
    TCliSession cli(o);
    const int code = ConnectOrReport(cli, o.json, out, err);
    if (code != ceAccepted)
        return code;
    if (o.json)
        out << QJsonDocument(IdentityJson(cli.session)).toJson(QJsonDocument::Compact) << '\n';
    else
        PrintIdentity(cli.session, out);
    return ceAccepted;
}

int RunValues(const TCliOptions &o, QTextStream &out, QTextStream &err)
{
    TCliSession cli(o);
    const int code = ConnectOrReport(cli, o.json, out, err);
    if (code != ceAccepted)
        return code;
    const TInformationLayout layout = LayoutInformationPage(cli.session);
    if (o.csv)
        PrintCsvHeader(cli.session, out);
    for (int pass = 0; pass < o.count; ++pass) {
        if (pass > 0 && o.intervalMs > 0)
            Delay(o.intervalMs);
        try {
            PrintPass(cli.session, ReadValuesPass(cli.session, layout), o, out);
            out.flush();
        } catch (const Exception &e) {
            err << QCoreApplication::translate("TfTMain", "Reading of values has failed!") << ' ' << e.Message() << '\n';
            return ceNoAnswer;
        }
    }
    return ceAccepted;
}
