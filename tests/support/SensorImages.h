#pragma once

#include "model/uSensType.h"
#include "transport/uSensorMemory.h"

// Configuration blocks 1 and 2 as a transmitter of a device type keeps them
// after its factory setup, written register by register so that tests do not
// depend on the code that reads them. Every setter keeps the block
// checksums (word 63) valid, as a device reports them.
//
// Factory state: the type's channels present and shown on the display, dew
// point as the computed quantity where temperature and humidity are, °C and
// hPa, ModBus at 9600 bit/s and address 1; output ranges temperature 0..50,
// humidity 0..100, computed -20..50, pressure 800..1100 hPa or CO2
// 0..2000 ppm, each with the clamps a save leaves; CO2 light signals at
// 800/1200 ppm, or a pressure calibration float in 0x2023; channel 1 carries the
// first measured quantity, channel 2 the second (or the first again); voltage
// outputs span 0..10 V on converter values 0..60000 (upper voltage + 0.5 V
// on 63000).
class TSensorImages {
public:
    explicit TSensorImages(const TSensType &type);

    TSensorImages &Word(quint16 address, quint16 value);
    TSensorImages &Float(quint16 address, double value);
    // The lower end at lowerEndAddress, the upper end 2 registers on, the
    // clamps 4 and 6 registers on.
    TSensorImages &OutputRange(quint16 lowerEndAddress, double lower, double upper);
    // Channel n carries the quantity whose live value is at valueAddress.
    TSensorImages &ChannelQuantity(int channel, quint16 valueAddress);
    TSensorImages &VoltageOutput(int channel, double lowerV, double upperV, double atLowerV, double atUpperV);

    quint16 WordAt(quint16 address) const;
    double FloatAt(quint16 address) const;

    TSegmentImage Image1{};
    TSegmentImage Image2{};

private:
    TSegmentImage &ImageOf(quint16 address);
    const TSegmentImage &ImageOf(quint16 address) const;
    void Seal();
};
