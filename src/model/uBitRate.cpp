#include "model/uBitRate.h"

#include "shell/uErrors.h"

namespace {

constexpr const char *ClassName = "TBitRate";

// The last row (searching from the fastest rate) whose column equals key, -1
// when none.
template <typename Column, typename Key>
int FindBaudRow(Column column, Key key)
{
    for (int row = BaudRowCount - 1; row >= 0; --row) {
        if (BaudTable[row].*column == key)
            return row;
    }
    return -1;
}

[[noreturn]] void RaiseBaudError(const QString &text)
{
    throw Exception(ClassMessage(ClassName, text));
}

} // namespace

void TBitRate::Select(int row)
{
    if (row == row_)
        return;
    row_ = row;
    if (OnChange)
        OnChange(*this);
}

void TBitRate::SetCode(quint16 code)
{
    const int row = FindBaudRow(&TBaudRow::Code, code);
    if (row < 0) {
        const QString hex = QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
        RaiseBaudError(QStringLiteral("invalid baudrate code: $") + hex);
    }
    Select(row);
}

void TBitRate::SetBaudType(quint8 baudType)
{
    const int row = FindBaudRow(&TBaudRow::BaudType, baudType);
    if (row < 0)
        RaiseBaudError(QStringLiteral("invalid baudrate type"));
    Select(row);
}

void TBitRate::SetValue(quint32 value)
{
    const int row = FindBaudRow(&TBaudRow::Value, value);
    if (row < 0)
        RaiseBaudError(QStringLiteral("invalid baudrate value"));
    Select(row);
}
