#include "PtyLine.h"

#include <QByteArray>

// termios2 (any speed in bit/s) comes from the kernel's header, which cannot
// be mixed with the C library's <termios.h>.
#include <asm/termbits.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

bool MakeRaw(int fd, int baud)
{
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= CS8 | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = t.c_ospeed = static_cast<speed_t>(baud);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return ioctl(fd, TCSETS2, &t) == 0;
}

QString SystemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyLine::~PtyLine()
{
    close();
}

bool PtyLine::open(int baud, QString *error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0) {
        *error = SystemError("posix_openpt");
        return false;
    }
    const char *name = grantpt(m_master) == 0 && unlockpt(m_master) == 0 ? ptsname(m_master) : nullptr;
    if (name)
        m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (!name || m_slave < 0 || !MakeRaw(m_slave, baud)) {
        *error = SystemError("pseudo-terminal");
        close();
        return false;
    }
    fcntl(m_master, F_SETFD, FD_CLOEXEC);
    fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = QString::fromLocal8Bit(name);
    return true;
}

void PtyLine::close()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

int PtyLine::lineSpeed() const
{
    termios2 t{};
    if (m_slave < 0 || ioctl(m_slave, TCGETS2, &t) != 0)
        return 0;
    return static_cast<int>(t.c_ospeed);
}

void PtyLine::write(const QByteArray &bytes)
{
    if (m_master >= 0 && !bytes.isEmpty()) {
        [[maybe_unused]] const ssize_t written = ::write(m_master, bytes.constData(), bytes.size());
    }
}
