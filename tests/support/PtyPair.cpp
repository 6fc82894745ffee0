#include "support/PtyPair.h"

#include "support/PortLink.h"
#ifdef Q_OS_LINUX
#include "transport/uTermios2.h"
#endif

#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

TPtyPair::TPtyPair()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error_ = QStringLiteral("posix_openpt: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    slavePath_ = QString::fromLocal8Bit(ptsname(master_));
    slave_ = ::open(ptsname(master_), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error_ = QStringLiteral("open %1: %2").arg(slavePath_, QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    // Raw from the start, so nothing the test sends early is cooked.
    termios t {};
    tcgetattr(slave_, &t);
    cfmakeraw(&t);
    tcsetattr(slave_, TCSANOW, &t);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

TPtyPair::~TPtyPair()
{
    Unlink();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool TPtyPair::LinkAs(int comNo)
{
    Unlink();
    if (!LinkComPort(comNo, slavePath_))
        return false;
    link_ = ComPortLink(comNo);
    return true;
}

void TPtyPair::Unlink()
{
    if (!link_.isEmpty())
        QFile::remove(link_);
    link_.clear();
}

bool TPtyPair::WriteMaster(const QByteArray &data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(master_, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p {master_, POLLOUT, 0};
            if (poll(&p, 1, 5000) <= 0)
                return false;
        } else if (!(n < 0 && errno == EINTR)) {
            return false;
        }
    }
    return true;
}

QByteArray TPtyPair::ReadMaster(int count, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QByteArray data;
    while (data.size() < count) {
        char buf[4096];
        const ssize_t n = ::read(master_, buf, qMin<size_t>(sizeof buf, size_t(count - data.size())));
        if (n > 0) {
            data.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0 || (n < 0 && errno != EAGAIN))
            break;
        pollfd p {master_, POLLIN, 0};
        poll(&p, 1, static_cast<int>(left));
    }
    return data;
}

bool TPtyPair::WaitSlaveInput(int count, int timeoutMs) const
{
    constexpr int PollMs = 2;
    for (int waited = 0;; waited += PollMs) {
        int pending = 0;
        if (ioctl(slave_, FIONREAD, &pending) != 0)
            return false;
        if (pending >= count)
            return true;
        if (waited >= timeoutMs)
            return false;
        poll(nullptr, 0, PollMs);
    }
}

termios TPtyPair::SlaveTermios() const
{
    termios t {};
    tcgetattr(slave_, &t);
    return t;
}

int TPtyPair::SlaveBaud() const
{
#ifdef Q_OS_LINUX
    return Termios2::GetBaud(slave_);
#else
    const termios t = SlaveTermios();
    return static_cast<int>(cfgetospeed(&t));
#endif
}
