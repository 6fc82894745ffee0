#include "transport/uMbusSerialLine.h"

#include "transport/uPortNames.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

struct TStandardRate {
    int bitRate;
    speed_t speed;
};

constexpr std::array<TStandardRate, 26> StandardRates = {{
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000},
}};

// B0 doubles as "no constant for this rate".
speed_t SpeedOfRate(int bitRate)
{
    for (const TStandardRate &r : StandardRates) {
        if (r.bitRate == bitRate)
            return r.speed;
    }
    return B0;
}

bool SettingsValid(const TSerialLineSettings &s)
{
    return s.baudRate > 0 && (s.dataBits == 7 || s.dataBits == 8) && (s.stopBits == 1 || s.stopBits == 2) &&
           s.parity >= 0 && s.parity <= 2;
}

void MakeRaw(termios &tio, const TSerialLineSettings &s)
{
    cfmakeraw(&tio);
    tio.c_cflag |= CREAD | CLOCAL;
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    tio.c_cflag |= s.dataBits == 7 ? CS7 : CS8;
    if (s.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    if (s.parity != 0)
        tio.c_cflag |= PARENB | (s.parity == 1 ? PARODD : 0);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
}

// Sensors on a service cable draw their interface power from DTR and RTS.
// Pseudo-terminals and some adapters refuse modem control; that is no error.
void RaiseModemLines(int fd)
{
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)ioctl(fd, TIOCMBIS, &lines);
}

} // namespace

TMbusSerialLine::~TMbusSerialLine()
{
    Close();
}

int TMbusSerialLine::Open(const QString &portName, const TSerialLineSettings &settings)
{
    if (IsOpen())
        return EBUSY;
    if (!SettingsValid(settings))
        return EINVAL;
    const int comNo = PortNames::ParseComNumber(portName);
    const QString path = comNo < 0 ? QString() : PortNames::DevicePath(comNo);
    if (path.isEmpty())
        return ENOENT;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // Lock before touching the line, so a port in use keeps its settings.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || tcgetattr(fd, &saved_) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    fd_ = fd;
    path_ = path;
    const int error = Configure(settings);
    if (error != 0)
        Close();
    return error;
}

int TMbusSerialLine::Configure(const TSerialLineSettings &settings)
{
    termios tio = saved_;
    MakeRaw(tio, settings);
    const speed_t speed = SpeedOfRate(settings.baudRate);
    cfsetispeed(&tio, speed == B0 ? B9600 : speed);
    cfsetospeed(&tio, speed == B0 ? B9600 : speed);
    if (tcsetattr(fd_, TCSANOW, &tio) != 0)
        return errno;
    if (speed == B0) {
        const int error = SetArbitraryBitRate(fd_, settings.baudRate);
        if (error != 0)
            return EINVAL;
    }
    RaiseModemLines(fd_);
    tcflush(fd_, TCIOFLUSH);
    return 0;
}

void TMbusSerialLine::Close()
{
    if (fd_ < 0)
        return;
    tcflush(fd_, TCIOFLUSH);
    tcsetattr(fd_, TCSANOW, &saved_);
    ::close(fd_);  // also releases the lock
    fd_ = -1;
    path_.clear();
}
