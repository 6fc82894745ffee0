#include "TcpFrontEnd.h"

#include "SimDevice.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

const QString FrontEndName = QStringLiteral("tcp");

} // namespace

TcpFrontEnd::TcpFrontEnd(SimDevice &device, const QString &host, quint16 port, QObject *parent)
    : SimFrontEnd(parent), m_device(device), m_host(host), m_port(port)
{
}

TcpFrontEnd::~TcpFrontEnd()
{
    vanish();
}

QHostAddress TcpFrontEnd::LoopbackAddress(const QString &host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return QHostAddress(QHostAddress::LocalHost);
    const QHostAddress address(host);
    return address.isLoopback() ? address : QHostAddress();
}

bool TcpFrontEnd::start(QString *error)
{
    const QHostAddress address = LoopbackAddress(m_host);
    if (address.isNull()) {
        *error = QStringLiteral("%1 is not a loopback address; the sensor serves 127.0.0.0/8 and ::1 only").arg(m_host);
        return false;
    }
    m_server = new QTcpServer(this);
    if (!m_server->listen(address, m_port)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3").arg(m_host).arg(m_port).arg(m_server->errorString());
        return false;
    }
    connect(m_server, &QTcpServer::newConnection, this, &TcpFrontEnd::accept);
    return true;
}

quint16 TcpFrontEnd::port() const
{
    return m_server ? m_server->serverPort() : 0;
}

QString TcpFrontEnd::readyLine() const
{
    return QStringLiteral("READY tcp %1:%2").arg(m_server->serverAddress().toString()).arg(port());
}

void TcpFrontEnd::vanish()
{
    if (m_vanished || !m_server)
        return;
    m_vanished = true;
    m_server->close();
    // Aborting a socket reports its disconnection at once; the list is
    // emptied first so that drop() finds nothing to remove.
    const QList<Connection *> connections = std::exchange(m_connections, {});
    for (Connection *c : connections) {
        if (c->socket)
            c->socket->abort();
        delete c;
    }
}

void TcpFrontEnd::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        auto *connection = new Connection{socket, {}};
        m_connections.append(connection);
        connect(socket, &QTcpSocket::readyRead, this, [this, connection] { readFrom(connection); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
    }
}

void TcpFrontEnd::readFrom(Connection *connection)
{
    QTcpSocket *socket = connection->socket;
    bool ok = true;
    const QList<MbapFraming::Frame> frames = connection->splitter.push(socket->readAll(), ok);
    for (const MbapFraming::Frame &frame : frames)
        answer(socket, frame);
    if (!ok)
        socket->disconnectFromHost();
}

void TcpFrontEnd::answer(QTcpSocket *socket, const MbapFraming::Frame &frame)
{
    const SimDevice::Reply reply = m_device.handle(frame.pdu, FrontEndName, frame.unit);
    const QPointer<QTcpSocket> guard(socket);
    const QByteArray bytes = reply.pdu.isEmpty() ? QByteArray() : MbapFraming::Seal(frame, reply.pdu);
    const bool vanishAfter = reply.vanishAfter;
    QTimer::singleShot(reply.delayMs, this, [this, guard, bytes, vanishAfter] {
        if (guard && !bytes.isEmpty())
            guard->write(bytes);
        if (vanishAfter) {
            if (guard)
                guard->flush();
            vanish();
        }
    });
}

void TcpFrontEnd::drop(QTcpSocket *socket)
{
    for (qsizetype i = 0; i < m_connections.size(); ++i) {
        if (m_connections[i]->socket == socket) {
            delete m_connections.takeAt(i);
            break;
        }
    }
    socket->deleteLater();
}
