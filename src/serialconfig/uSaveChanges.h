#pragma once

#include "model/uBitRate.h"
#include "model/uProtocol.h"
#include "serialconfig/uRegisterMap.h"
#include "serialconfig/uSerialPages.h"
#include "shell/uErrors.h"
#include "transport/uSensorMemory.h"

#include <functional>

// Save Changes refuses page values that cannot be written; nothing has been
// written then.
PELINOR_EXCEPTION(ESaveRefused, Exception);

// The communication settings the Configuration page holds, as the window
// remembers them after a successful save and as the protocol change needs them.
struct TCommSettingsChoice {
    quint8 ProtocolType = ProtocolType::Unknown;  // the chosen protocol type r
    quint32 BaudRate = 0;                         // bit/s
    int Address = 1;                              // a letter's code when CharAddress
    bool CharAddress = false;
};
TCommSettingsChoice ChosenCommSettings(const TSerialConfigPages &pages);

// Raises ESaveRefused ("Device address is required!") when the letter
// address is shown but empty. Save Changes calls it before anything else.
void CheckBeforeSave(const TSerialConfigPages &pages);

// Pages that are built later store their registers through these hooks.
// Each hook must leave every register it owns exactly as read unless the user
// changed the control it belongs to, so that a save without changes writes
// no block. An unset hook leaves its registers as read.
struct TSaveHooks {
    // Relay quantities and error behaviour (Relay page) into the unit word.
    std::function<void(TUnitWord &unitWord)> RelayUnitBits;
    // 0x2007 from the relay, input and indication pages, and the CO2 light
    // signal thresholds 0x2023/0x2024 only while those controls are shown:
    // pressure devices keep a calibration float in 0x2023.
    std::function<void(TSegmentImage &image2)> RelayInputIndication;
    // Relay switching values, hystereses and delays 0x2039-0x203E.
    std::function<void(TSegmentImage &image2)> RelayValues;
    // 0x2037 from the pressure compensation or altitude frame, only after the
    // user changed the frame's value: the altitude frame edits whole metres,
    // coarser than the register's hundredths of hPa, so rewriting an
    // unchanged value alters the device.
    std::function<void(TSegmentImage &image2)> AltitudeCompensation;
    // The Service page's pressure filter (low byte of 0x2038) and CO2 range
    // (bits 3-4 of 0x203F).
    std::function<void(TSegmentImage &image2)> ServicePage;
    // Humidity calibration coefficients 0x1031/0x1033 recomputed from the
    // calibration points; called only where the firmware needs it.
    std::function<void(TSegmentImage &image1, const TSegmentImage &image2)> HumidityCoefficients;
};

// The memory images Save Changes writes to a transmitter connected over
// ModBus, and what the caller needs once the write succeeded. The protocol
// and baud-rate objects are copies: the connected ones stay as they are
// until the write succeeded.
struct TModbusSave {
    TSegmentImage Image1{};
    TSegmentImage Image2{};
    bool BaudChanged = false;
    quint8 ChosenProtocolType = ProtocolType::Unknown;
    TProtocol Protocol;
    TBitRate BitRate;
    int Address = 1;
    bool CharAddress = false;
};

// Turns the page values into register values on copies of the images as
// read. Raises ESaveRefused as CheckBeforeSave does, before any change.
TModbusSave PrepareModbusSave(const TSerialConfigPages &pages, const TSaveHooks &hooks = {});
