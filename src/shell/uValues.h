#pragma once

#include "shell/uSession.h"

#include <QString>

#include <array>

// The Information page, free of widgets: which rows it shows with which
// texts, how a measured value is written, and the reading pass that
// refreshes the values while the page is active.

constexpr int ValueRowCount = 5;
constexpr int RelayCount = 2;

struct TInfoRow {
    bool visible = false;
    QString label;
    QString value;
};

struct TInformationLayout {
    TInfoRow address;
    TInfoRow nameOrProtocol;
    TInfoRow type;
    TInfoRow serialNumber;
    TInfoRow firmware;
    // Labels of the value rows; the values come with each reading pass.
    std::array<TInfoRow, ValueRowCount> quantities;
    bool protocolGroupVisible = false;
    bool modbusVisible = false;
    bool modbusSelected = false;
    bool relayRowsVisible = false;
    std::array<bool, RelayCount> farControlVisible{};
};

// The quantity of value row 0..4: temperature, humidity, computed quantity,
// pressure and CO2 for a serial sensor, the channels of an Ethernet sensor.
const TQuantity &RowQuantity(const TSession &session, int row);
TQuantity &RowQuantity(TSession &session, int row);

TInformationLayout LayoutInformationPage(const TSession &session);

// The firmware as the page shows it: "02.31  from  05/2009".
QString FirmwareText(const TSession &session);

// How one value is written: the error texts a sensor's codes stand for,
// "---" for a row that is not read, else the number with its unit.
// supportsErrorValues: the Ethernet record says its channels report error
// codes below -1100.0.
QString FormatValue(const TQuantity &quantity, bool wanted, quint8 protocolType, bool supportsErrorValues = false);

struct TValuesPass {
    std::array<QString, ValueRowCount> values;
    std::array<QString, RelayCount> relays;
};

// One reading pass of the Information page over the session's transports:
// every shown value and the relay states. Raises on any failure.
TValuesPass ReadValuesPass(TSession &session, const TInformationLayout &layout);
