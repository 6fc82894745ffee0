#include "model/uProtocol.h"

#include "model/uBitRate.h"
#include "shell/uErrors.h"

#include <QCoreApplication>

namespace {

constexpr const char *ClassName = "TProtocol";
constexpr quint16 AdamOptionPlain = 0x3030;     // "00": no checksum
constexpr quint16 AdamOptionChecksum = 0x3430;  // "40": checksum

const char *const UnknownProtocolName = QT_TRANSLATE_NOOP("TProtocol", "Unknown");

// The highest row whose code and option fit, -1 when none.
int ResolveRow(quint16 code, quint16 option)
{
    for (int row = ProtocolRowCount - 1; row >= 0; --row) {
        const TProtocolRow &p = ProtocolTable[row];
        if (p.Code == code && (p.Option == AnyOption || p.Option == option))
            return row;
    }
    return -1;
}

} // namespace

const std::array<TProtocolRow, ProtocolRowCount> ProtocolTable = {{
    {ProtocolType::ModBus, 0, AnyOption, QT_TRANSLATE_NOOP("TProtocol", "ModBus")},
    {ProtocolType::AdamWithoutCrc, 2, AdamOptionPlain, QT_TRANSLATE_NOOP("TProtocol", "Adam without CRC")},
    {ProtocolType::AdamWithCrc, 2, AdamOptionChecksum, QT_TRANSLATE_NOOP("TProtocol", "Adam with CRC")},
    {ProtocolType::Arion, 4, AnyOption, QT_TRANSLATE_NOOP("TProtocol", "Amit Arion")},
    {ProtocolType::Poseidon, 6, AnyOption, QT_TRANSLATE_NOOP("TProtocol", "HWg Poseidon")},
}};

quint8 TProtocol::GetProtocolType() const
{
    return row_ < 0 ? ProtocolType::Unknown : ProtocolTable[row_].ProtocolType;
}

QString TProtocol::GetName() const
{
    const char *name = row_ < 0 ? UnknownProtocolName : ProtocolTable[row_].Name;
    return QCoreApplication::translate("TProtocol", name);
}

void TProtocol::Changed()
{
    if (OnChange)
        OnChange(*this);
}

void TProtocol::SetProtocolType(quint8 type)
{
    int row = ProtocolRowCount - 1;
    while (row >= 0 && ProtocolTable[row].ProtocolType != type)
        --row;
    if (row < 0)
        throw Exception(ClassMessage(ClassName, QStringLiteral("invalid protocol type")));
    if (row == row_)
        return;
    const TProtocolRow &p = ProtocolTable[row];
    code_ = p.Code;
    if (p.Option != AnyOption)
        option_ = p.Option;
    row_ = row;
    Changed();
}

void TProtocol::StoreRegister(quint16 &reg, quint16 value)
{
    if (value == reg)
        return;
    reg = value;
    row_ = ResolveRow(code_, option_);
    Changed();
}

void TProtocol::SetCode(quint16 code)
{
    StoreRegister(code_, code);
}

void TProtocol::SetOption(quint16 option)
{
    StoreRegister(option_, option);
}

QList<quint32> OfferedBaudRates(quint8 protocolType)
{
    switch (protocolType) {
    case ProtocolType::AdamWithoutCrc:
    case ProtocolType::AdamWithCrc:
        return {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    case ProtocolType::Arion:
        return {9600, 19200, 38400, 57600};
    case ProtocolType::Poseidon:
        return {9600};
    default: {
        QList<quint32> all;
        for (const TBaudRow &b : BaudTable)
            all.append(b.Value);
        return all;
    }
    }
}
