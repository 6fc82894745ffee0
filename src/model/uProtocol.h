#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>

// Protocol types as the program names them.
namespace ProtocolType {
constexpr quint8 Unknown = 0;
constexpr quint8 ModBus = 1;
constexpr quint8 AdamWithoutCrc = 2;
constexpr quint8 AdamWithCrc = 3;
constexpr quint8 Arion = 4;
constexpr quint8 Poseidon = 5;
} // namespace ProtocolType

// An option word that matches every option.
constexpr quint16 AnyOption = 0xFFFF;

// One protocol: the values of the transmitter's protocol register (Code) and
// protocol option register (Option). The ADAM option is the data-format byte
// as two ASCII hexadecimal characters, the first in the high byte.
struct TProtocolRow {
    quint8 ProtocolType;
    quint16 Code;
    quint16 Option;
    const char *Name;  // translatable in context "TProtocol"
};

constexpr int ProtocolRowCount = 5;
extern const std::array<TProtocolRow, ProtocolRowCount> ProtocolTable;

// The protocol of the connected device, kept as the register values and the
// row they resolve to (-1: no protocol).
class TProtocol {
public:
    using TNotifyEvent = std::function<void(TProtocol &sender)>;

    quint8 GetProtocolType() const;
    QString GetName() const;
    // Selects a protocol type and takes its code (and its option unless it
    // accepts any). Raises Exception ("TProtocol: invalid protocol type") for
    // a type no row has.
    void SetProtocolType(quint8 type);

    quint16 GetCode() const { return code_; }
    // Stores a protocol register value and re-resolves the row with the
    // current option.
    void SetCode(quint16 code);
    quint16 GetOption() const { return option_; }
    // Stores an option register value and re-resolves the row with the
    // current code.
    void SetOption(quint16 option);

    int GetRow() const { return row_; }

    // Fired after a setter changed something.
    TNotifyEvent OnChange;

private:
    void Changed();
    // Stores a register value and re-resolves the row from code and option.
    void StoreRegister(quint16 &reg, quint16 value);

    quint16 code_ = 0xFFFF;
    quint16 option_ = 0xFFFF;
    int row_ = -1;
};

// The baud rates (bit/s, in baud table order) a protocol type can run at;
// ModBus and unknown types offer them all.
QList<quint32> OfferedBaudRates(quint8 protocolType);
