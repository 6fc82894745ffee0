#include "model/uSensType.h"

#include "shell/uErrors.h"

namespace {

constexpr const char *ClassName = "TSensType";

// Types whose channel count depends on the module firmware.
constexpr quint8 FourChannelTypeA = 109;
constexpr quint8 FourChannelTypeB = 110;
constexpr quint8 TwoChannelType = 103;
constexpr quint32 FourChannelFirmwareMin = 0x04050700;  // 4-5-7.00
constexpr quint32 TwoChannelFirmwareMin = 0x04050800;   // 4-5-8.00
constexpr int FourChannels = 4;
constexpr int TwoChannels = 2;

bool IsFourChannelType(quint8 code)
{
    return code == FourChannelTypeA || code == FourChannelTypeB;
}

// The highest row from 196 down to lowestRow that satisfies match, or -1.
template <typename Match>
int FindRowFromTop(int lowestRow, Match match)
{
    for (int row = DeviceTypeCount - 1; row >= lowestRow; --row) {
        if (match(DeviceTypeTable[row]))
            return row;
    }
    return -1;
}

int RowOfDeviceId(quint16 id)
{
    if (id == NoDeviceId)
        return 0;
    const int row = FindRowFromTop(1, [id](const TDeviceType &t) { return t.DeviceId == id; });
    return row < 0 ? 0 : row;
}

} // namespace

QString TSensType::GetName() const
{
    return QString::fromLatin1(Current().Name);
}

void TSensType::Select(int row, quint16 id)
{
    row_ = row;
    deviceId_ = id;
    if (OnChange)
        OnChange(*this);
}

void TSensType::SetDeviceId(quint16 id)
{
    // The stored id alone does not prove the selection: SetTypeCode and
    // SetName may have moved the row away from the one the id selects.
    const int row = RowOfDeviceId(id);
    if (row == row_ && id == deviceId_)
        return;
    Select(row, id);
}

void TSensType::SetTypeCode(quint8 code)
{
    const int row = FindRowFromTop(0, [code](const TDeviceType &t) { return t.TypeCode == code; });
    if (row < 0)
        throw ERangeError(ClassMessage(ClassName, QStringLiteral("invalid sensor type")));
    if (row == row_)
        return;
    Select(row, DeviceTypeTable[row].DeviceId);
}

void TSensType::SetName(const QString &name)
{
    if (name == GetName())
        return;
    const auto sameName = [&name](const TDeviceType &t) { return name == QLatin1String(t.Name); };
    const int found = FindRowFromTop(1, sameName);
    const int row = found < 0 ? 0 : found;
    if (row == row_)
        return;
    Select(row, DeviceTypeTable[row].DeviceId);
}

int TSensType::GetChannelCount() const
{
    const quint8 code = GetTypeCode();
    if (FourChannelFirmware && IsFourChannelType(code))
        return FourChannels;
    if (TwoChannelFirmware && code == TwoChannelType)
        return TwoChannels;
    return Current().ChannelCount;
}

void TSensType::ClearFirmwareFlags()
{
    FourChannelFirmware = false;
    TwoChannelFirmware = false;
}

void TSensType::ApplyFirmwareVersion(quint32 version)
{
    const quint8 code = GetTypeCode();
    if (IsFourChannelType(code) && version >= FourChannelFirmwareMin)
        FourChannelFirmware = true;
    else if (code == TwoChannelType && version >= TwoChannelFirmwareMin)
        TwoChannelFirmware = true;
}
