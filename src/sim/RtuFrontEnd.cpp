#include "RtuFrontEnd.h"

#include "PortFolder.h"
#include "SimDevice.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cmath>
#include <unistd.h>

namespace {

const QString FrontEndName = QStringLiteral("rtu");
// An incomplete frame is dropped when nothing follows for this long.
constexpr int QuietLineMs = 500;
constexpr int ReadChunkBytes = 512;
constexpr double BitsPerCharacter = 10.0;
constexpr double InterFrameCharacters = 3.5;
constexpr double NsPerSecond = 1e9;
constexpr qint64 NsPerMs = 1000000;
constexpr double BaudTolerance = 0.02;

} // namespace

RtuFrontEnd::RtuFrontEnd(SimDevice &device, const Options &options, QObject *parent)
    : SimFrontEnd(parent), m_device(device), m_options(options),
      m_writer([this](const QByteArray &bytes) { m_line.write(bytes); }, this)
{
    m_quietTimer.setSingleShot(true);
    connect(&m_quietTimer, &QTimer::timeout, this, [this] { m_splitter.clear(); });
    connect(&m_writer, &PacedWriter::finished, this, &RtuFrontEnd::replyFinished);
}

RtuFrontEnd::~RtuFrontEnd()
{
    vanish();
}

bool RtuFrontEnd::start(QString *error)
{
    if (m_options.comNumber == 0)
        m_options.comNumber = PortFolder::FirstFreeNumber();
    if (!m_line.open(m_device.memory().nominalBaudRate(), error))
        return false;
    if (!PortFolder::CreateLink(m_options.comNumber, m_line.slavePath(), error)) {
        m_line.close();
        return false;
    }
    m_linkPath = PortFolder::LinkPath(m_options.comNumber);
    m_notifier = new QSocketNotifier(m_line.masterFd(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &RtuFrontEnd::readAvailable);
    return true;
}

QString RtuFrontEnd::readyLine() const
{
    return QStringLiteral("READY serial COM%1 %2").arg(m_options.comNumber).arg(m_line.slavePath());
}

void RtuFrontEnd::vanish()
{
    if (!m_line.isOpen())
        return;
    delete m_notifier;
    m_notifier = nullptr;
    m_writer.cancel();
    PortFolder::RemoveLink(m_linkPath, m_line.slavePath());
    m_line.close();
}

void RtuFrontEnd::readAvailable()
{
    char buffer[ReadChunkBytes];
    const ssize_t n = ::read(m_line.masterFd(), buffer, sizeof buffer);
    if (n <= 0)
        return;
    const qint64 arrivedNs = m_writer.nowNs();
    const int droppedBefore = m_splitter.droppedFrames();
    const QList<RtuFraming::Frame> frames = m_splitter.push(QByteArray(buffer, static_cast<qsizetype>(n)));
    if (m_splitter.droppedFrames() != droppedBefore) {
        const QByteArray bad = m_splitter.lastDropped();
        m_device.logUnanswered(FrontEndName, bad.isEmpty() ? 0 : static_cast<quint8>(bad[0]), bad.mid(1),
                               QStringLiteral("bad-crc"));
    }
    for (const RtuFraming::Frame &frame : frames)
        handleFrame(frame, arrivedNs);
    if (m_splitter.pending())
        m_quietTimer.start(QuietLineMs);
}

QString RtuFrontEnd::refusal(const RtuFraming::Frame &frame) const
{
    if (frame.address != m_device.memory().slaveAddress() && frame.address != RtuFraming::BroadcastAddress)
        return QStringLiteral("not-addressed");
    if (m_writer.busy())
        return QStringLiteral("busy");
    if (m_options.strictBaud) {
        const double baud = m_device.memory().baudRate();
        if (std::abs(m_line.lineSpeed() - baud) > BaudTolerance * baud)
            return QStringLiteral("wrong-baud-%1").arg(m_line.lineSpeed());
    }
    return {};
}

void RtuFrontEnd::handleFrame(const RtuFraming::Frame &frame, qint64 arrivedNs)
{
    if (const QString why = refusal(frame); !why.isEmpty()) {
        m_device.logUnanswered(FrontEndName, frame.address, frame.pdu, why);
        return;
    }
    // The reply goes at the settings the request came with; a new address or
    // baud rate applies from the next request on.
    const quint8 address = m_device.memory().slaveAddress();
    const double baud = m_device.memory().baudRate();
    const SimDevice::Reply reply =
        m_device.handle(frame.pdu, FrontEndName, frame.address, frame.address == RtuFraming::BroadcastAddress);
    m_vanishAfterReply = reply.vanishAfter;
    if (reply.pdu.isEmpty()) {
        replyFinished();
        return;
    }
    QByteArray bytes = RtuFraming::Seal(address, reply.pdu);
    if (reply.corruptCrc)
        bytes[bytes.size() - 1] = static_cast<char>(bytes[bytes.size() - 1] ^ 0xFF);
    qint64 startNs = arrivedNs + reply.delayMs * NsPerMs;
    qint64 byteNs = 0;
    if (m_options.pace) {
        const double characterNs = BitsPerCharacter / baud * NsPerSecond;
        const double requestNs = (frame.pdu.size() + RtuFraming::AddressSize + RtuFraming::CrcSize) * characterNs;
        byteNs = std::llround(characterNs);
        startNs += std::llround(requestNs + InterFrameCharacters * characterNs) + byteNs;
    }
    m_writer.send(bytes, startNs, byteNs);
}

void RtuFrontEnd::replyFinished()
{
    if (!m_vanishAfterReply)
        return;
    m_vanishAfterReply = false;
    QTimer::singleShot(0, this, &RtuFrontEnd::vanish);
}
