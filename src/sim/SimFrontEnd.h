#pragma once

#include <QObject>
#include <QString>

// A way into the sensor: the RTU line on a pseudo-terminal or the Modbus TCP
// port. Each front end frames requests its own way and hands their PDUs to
// the same SimDevice.
class SimFrontEnd : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the line or port; false with an error text.
    virtual bool start(QString *error) = 0;
    // The one line printed when the sensor is ready.
    virtual QString readyLine() const = 0;
    // The port disappears as an unplugged adapter does.
    virtual void vanish() = 0;
    virtual bool vanished() const = 0;
};
