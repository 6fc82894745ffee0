#include "transport/uSerialLine.h"
#include "transport/uTermiosCodes.h"
#ifdef Q_OS_LINUX
#include "transport/uTermios2.h"
#include <linux/serial.h>
#endif

#include <QFile>

#include <cerrno>
#include <chrono>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

struct TSavedLineState {
    termios state;
};

// The time-outs below are the driver's own, as the Windows serial driver runs
// them for ReadFile and WriteFile: they count real time on the system's
// monotonic clock whatever clock the rest of the program is given, because the
// bytes on a wire do not wait for a test clock.

namespace {

using SteadyClock = std::chrono::steady_clock;
using Deadline = std::optional<SteadyClock::time_point>;

constexpr int DrainPollMs = 1;

TOpenStatus StatusOfOpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
    case ENOTTY:
    case EIO: // a /dev/ttyS node without a UART behind it
        return TOpenStatus::Absent;
    default: // EBUSY, EACCES, EPERM, a lock held by another user
        return TOpenStatus::Busy;
    }
}

// A serial driver that reports no UART for the node: nothing is attached.
bool HasNoHardware(int fd)
{
#ifdef Q_OS_LINUX
    serial_struct info {};
    return ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type == PORT_UNKNOWN;
#else
    Q_UNUSED(fd);
    return false;
#endif
}

// Opens the device and takes it for this descriptor alone. flock holds for
// root too, where TIOCEXCL alone is ignored; a second opener of the device (in
// this or any other process) fails on the lock. Returns the descriptor or -1
// with the error code in error.
int OpenExclusive(const QString &path, int &error)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // The exclusive flag of another holder refuses the open itself; for
        // our callers that is the same as finding its lock taken.
        error = errno == EBUSY ? EWOULDBLOCK : errno;
        return -1;
    }
    termios t {};
    error = tcgetattr(fd, &t) != 0 ? errno : HasNoHardware(fd) ? ENXIO : 0;
    if (error != 0) { // not a terminal, or no hardware behind the node
        ::close(fd);
        return -1;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
        ::close(fd);
        return -1;
    }
    return fd;
}

Deadline DeadlineAfter(SteadyClock::time_point start, quint64 ms, bool used)
{
    if (!used)
        return std::nullopt;
    return start + std::chrono::milliseconds(ms);
}

// Milliseconds left until the deadline for poll(); -1 without one.
int PollTimeout(const Deadline &deadline)
{
    if (!deadline)
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - SteadyClock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(qMin<qint64>(left, 1000000));
}

Deadline Earlier(const Deadline &a, const Deadline &b)
{
    if (!a)
        return b;
    if (!b)
        return a;
    return qMin(*a, *b);
}

bool Expired(const Deadline &deadline)
{
    return deadline && SteadyClock::now() >= *deadline;
}

// Waits until fd is ready for events or the deadline passes; false on time-out.
bool WaitReady(int fd, short events, const Deadline &deadline, int &error)
{
    for (;;) {
        const int timeout = PollTimeout(deadline);
        pollfd p {fd, events, 0};
        const int n = poll(&p, 1, timeout);
        if (n > 0)
            return true;
        if (n == 0)
            return false;
        if (errno != EINTR) {
            error = errno;
            return false;
        }
    }
}

bool ModemLine(int fd, int line, bool on)
{
    int bits = line;
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0)
        return true;
    // No modem control on this line (a pseudo-terminal): nothing to set.
    return errno == ENOTTY || errno == EINVAL;
}

} // namespace

TSerialLine::TSerialLine() = default;

TSerialLine::~TSerialLine()
{
    Close();
}

TOpenStatus TSerialLine::Open(const QString &path, int &lastError)
{
    Close();
    lastError = 0;
    const int fd = OpenExclusive(path, lastError);
    if (fd < 0)
        return StatusOfOpenError(lastError);
    // Keeps other non-root openers out even before they try the lock.
    ioctl(fd, TIOCEXCL);
    termios t {};
    if (tcgetattr(fd, &t) == 0) {
        // Whoever uses the device after us finds it as we found it.
        saved_ = std::make_unique<TSavedLineState>(TSavedLineState {t});
        TermiosCodes::MakeRaw(t);
        tcsetattr(fd, TCSANOW, &t);
    }
    handle_ = fd;
    return TOpenStatus::Opened;
}

TOpenStatus TSerialLine::Probe(const QString &path)
{
    int error = 0;
    const int fd = OpenExclusive(path, error);
    if (fd < 0)
        return StatusOfOpenError(error);
    ::close(fd);
    return TOpenStatus::Opened;
}

bool TSerialLine::IsOpen() const
{
    return handle_ >= 0;
}

void TSerialLine::Close()
{
    if (!IsOpen())
        return;
    const int fd = static_cast<int>(handle_);
    // Nothing queued under our settings goes out under the restored ones.
    tcflush(fd, TCIOFLUSH);
    if (saved_)
        tcsetattr(fd, TCSANOW, &saved_->state);
    saved_.reset();
    // The exclusive flag outlives this descriptor while others keep the
    // device open; leave it as we found it.
    ioctl(fd, TIOCNXCL);
    ::close(fd); // also releases the lock
    handle_ = -1;
}

void TSerialLine::SetQueueSizes(int inputBytes, int outputBytes)
{
    // The kernel sizes its tty buffers itself.
    Q_UNUSED(inputBytes);
    Q_UNUSED(outputBytes);
}

void TSerialLine::Purge()
{
    if (IsOpen())
        tcflush(static_cast<int>(handle_), TCIOFLUSH);
}

namespace {

// A read-modify-write of the line state; 0, EINVAL when change refuses the
// value, or the system's error code.
template <typename Change>
int ModifyState(qintptr handle, Change change)
{
    if (handle < 0)
        return EBADF;
    const int fd = static_cast<int>(handle);
    termios t {};
    if (tcgetattr(fd, &t) != 0)
        return errno;
    if (!change(t))
        return EINVAL;
    return tcsetattr(fd, TCSANOW, &t) == 0 ? 0 : errno;
}

// Both directions to bitsPerSecond: a B-constant through termios, any other
// rate through termios2. 0, EINVAL for a rate the line refuses, or the
// system's error code.
int ApplyBitRate(qintptr handle, int bitsPerSecond)
{
    if (bitsPerSecond <= 0)
        return EINVAL;
    const speed_t constant = TermiosCodes::BaudConstant(bitsPerSecond);
    if (constant == B0) {
#ifdef Q_OS_LINUX
        return Termios2::SetBaud(static_cast<int>(handle), bitsPerSecond) ? 0 : EINVAL;
#else
        return EINVAL;
#endif
    }
    return ModifyState(handle, [constant](termios &t) {
        return cfsetispeed(&t, constant) == 0 && cfsetospeed(&t, constant) == 0;
    });
}

} // namespace

void TSerialLine::SetBitRate(int bitsPerSecond)
{
    if (IsOpen())
        ApplyBitRate(handle_, bitsPerSecond);
}

void TSerialLine::SetParity(int code)
{
    ModifyState(handle_, [code](termios &t) { return TermiosCodes::ApplyParity(t, code); });
}

void TSerialLine::SetDataBits(int code)
{
    ModifyState(handle_, [code](termios &t) { return TermiosCodes::ApplyDataBits(t, code); });
}

void TSerialLine::SetStopBits(int code)
{
    ModifyState(handle_, [code](termios &t) { return TermiosCodes::ApplyStopBits(t, code); });
}

void TSerialLine::SetFlowControl(int code)
{
    ModifyState(handle_, [code](termios &t) {
        TermiosCodes::ApplyFlowControl(t, code);
        return true;
    });
}

void TSerialLine::SetTimeouts(const TCommTimeouts &timeouts)
{
    timeouts_ = timeouts;
}

int TSerialLine::Configure(const TSerialLineSettings &settings)
{
    const int error =
        ModifyState(handle_, [&settings](termios &t) { return TermiosCodes::ApplyFormat(t, settings); });
    return error != 0 ? error : ApplyBitRate(handle_, settings.baudRate);
}

bool TSerialLine::SetDtr(bool on)
{
    return IsOpen() && ModemLine(static_cast<int>(handle_), TIOCM_DTR, on);
}

bool TSerialLine::SetRts(bool on)
{
    return IsOpen() && ModemLine(static_cast<int>(handle_), TIOCM_RTS, on);
}

namespace {

// Waits until the driver has sent what it queued, so a purge or close right
// after a write does not discard the end of a request.
void WaitSent(int fd, const Deadline &deadline)
{
    int queued = 0;
    while (ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 && !Expired(deadline))
        poll(nullptr, 0, DrainPollMs);
}

} // namespace

int TSerialLine::Write(const char *data, int count, int &written)
{
    written = 0;
    if (!IsOpen())
        return EBADF;
    const int fd = static_cast<int>(handle_);
    const quint64 totalMs = quint64(timeouts_.writeTotalMultiplierMs) * quint64(count) + timeouts_.writeTotalConstantMs;
    const Deadline deadline = DeadlineAfter(SteadyClock::now(), totalMs, totalMs > 0);
    while (written < count) {
        const ssize_t n = ::write(fd, data + written, static_cast<size_t>(count - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return errno;
        int error = 0;
        if (!WaitReady(fd, POLLOUT, deadline, error))
            return error != 0 ? error : ETIMEDOUT;
    }
    WaitSent(fd, deadline);
    return 0;
}

namespace {

// The read deadlines of one call, from the time-outs and the byte count.
struct TReadPlan {
    bool immediate = false;        // return with what is there
    bool firstByteEnds = false;    // return as soon as anything is in
    Deadline total;
    std::optional<std::chrono::milliseconds> interval;
};

TReadPlan PlanRead(const TCommTimeouts &t, int count, SteadyClock::time_point start)
{
    TReadPlan plan;
    const bool intervalMax = t.readIntervalMs == MaxDword;
    if (intervalMax && t.readTotalMultiplierMs == 0 && t.readTotalConstantMs == 0) {
        plan.immediate = true;
        return plan;
    }
    if (intervalMax && t.readTotalMultiplierMs == MaxDword && t.readTotalConstantMs != MaxDword) {
        plan.firstByteEnds = true;
        plan.total = start + std::chrono::milliseconds(t.readTotalConstantMs);
        return plan;
    }
    const quint64 totalMs = quint64(t.readTotalMultiplierMs) * quint64(count) + t.readTotalConstantMs;
    plan.total = DeadlineAfter(start, totalMs, t.readTotalMultiplierMs != 0 || t.readTotalConstantMs != 0);
    if (!intervalMax && t.readIntervalMs != 0)
        plan.interval = std::chrono::milliseconds(t.readIntervalMs);
    return plan;
}

} // namespace

int TSerialLine::Read(char *data, int count, int &got)
{
    got = 0;
    if (!IsOpen())
        return EBADF;
    if (count <= 0)
        return 0;
    const int fd = static_cast<int>(handle_);
    const TReadPlan plan = PlanRead(timeouts_, count, SteadyClock::now());
    Deadline gapEnds;
    for (;;) {
        const ssize_t n = ::read(fd, data + got, static_cast<size_t>(count - got));
        if (n > 0) {
            got += static_cast<int>(n);
            if (got == count || plan.firstByteEnds)
                return 0;
            if (plan.interval)
                gapEnds = SteadyClock::now() + *plan.interval;
            continue;
        }
        if (n == 0) // the far end hung up: nothing more will come
            return 0;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return errno;
        if (plan.immediate)
            return 0;
        int error = 0;
        if (!WaitReady(fd, POLLIN, Earlier(plan.total, gapEnds), error))
            return error;
    }
}
