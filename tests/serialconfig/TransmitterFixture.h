#pragma once

#include "serialconfig/uSerialPages.h"
#include "support/SensorImages.h"

#include <memory>
#include <optional>

// A transmitter as the connection sequence leaves it: its type selected by
// name, its images, and the protocol, baud rate and quantity slots taken from
// them the way the identification over ModBus takes them. Adjust the images
// (or the connection state) first, then Connect() fills the pages.
class TTransmitter {
public:
    TTransmitter(const char *typeName, int firmware);
    TTransmitter(const TTransmitter &) = delete;
    TTransmitter &operator=(const TTransmitter &) = delete;

    TSerialConfigPages &Connect();
    TConfigPageModel &Config() { return pages->Config(); }
    TOutputPageModel &Output() { return pages->Output(); }

    TSensType type;
    int firmware;
    TSensorImages images;
    bool setupAllowed = true;
    bool mspConnected = true;
    bool netConnected = false;
    // Identified over another protocol, with the address it reported.
    std::optional<quint8> connectedProtocol;
    int protocolAddress = 1;

    TProtocol protocol;
    TBitRate bitRate;
    TQuantity temperature;
    TQuantity humidity;
    TQuantity pressure;
    TQuantity co2;
    TQuantity computed;
    std::unique_ptr<TSerialConfigPages> pages;

private:
    void Identify();
};
