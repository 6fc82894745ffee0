#pragma once

#include "MbapFraming.h"
#include "SimFrontEnd.h"

#include <QHostAddress>
#include <QList>
#include <QPointer>

class QTcpServer;
class QTcpSocket;
class SimDevice;

// Modbus TCP (MBAP) on a loopback address, as the Ethernet module of a
// sensor serves it: any number of connections, every unit id answered,
// requests of one connection answered in order. Other addresses than
// loopback ones are refused; port 0 picks a free port.
class TcpFrontEnd : public SimFrontEnd {
    Q_OBJECT
public:
    TcpFrontEnd(SimDevice &device, const QString &host, quint16 port, QObject *parent = nullptr);
    ~TcpFrontEnd() override;

    bool start(QString *error) override;
    QString readyLine() const override;
    void vanish() override;
    bool vanished() const override { return m_vanished; }
    quint16 port() const;

    // The loopback address of a host text ("localhost" or 127.x.y.z, ::1);
    // a null address for anything else.
    static QHostAddress LoopbackAddress(const QString &host);

private:
    struct Connection {
        QPointer<QTcpSocket> socket;
        MbapFraming::RequestSplitter splitter;
    };

    void accept();
    void readFrom(Connection *connection);
    void answer(QTcpSocket *socket, const MbapFraming::Frame &frame);
    void drop(QTcpSocket *socket);

    SimDevice &m_device;
    QString m_host;
    quint16 m_port;
    QTcpServer *m_server = nullptr;
    QList<Connection *> m_connections;
    bool m_vanished = false;
};
