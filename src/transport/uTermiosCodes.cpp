#include "transport/uTermiosCodes.h"

namespace TermiosCodes {

namespace {

struct TBaudConstant {
    int bitsPerSecond;
    speed_t constant;
};

constexpr TBaudConstant BaudConstants[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

} // namespace

speed_t BaudConstant(int bitsPerSecond)
{
    for (const TBaudConstant &b : BaudConstants)
        if (b.bitsPerSecond == bitsPerSecond)
            return b.constant;
    return B0;
}

bool ApplyParity(termios &t, int code)
{
    constexpr tcflag_t ParityBits = PARENB | PARODD | CMSPAR;
    constexpr tcflag_t ByCode[] = {0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR, PARENB | CMSPAR};
    if (code < 0 || code > 4)
        return false;
    t.c_cflag = (t.c_cflag & ~ParityBits) | ByCode[code];
    // A byte with a parity error is neither marked nor dropped: the protocols
    // check their frames themselves.
    t.c_iflag &= ~(INPCK | IGNPAR | PARMRK | ISTRIP);
    return true;
}

bool ApplyDataBits(termios &t, int code)
{
    constexpr tcflag_t ByCode[] = {0, CS5, CS6, CS7, CS8};
    if (code < 1 || code > 4)
        return false;
    t.c_cflag = (t.c_cflag & ~CSIZE) | ByCode[code];
    return true;
}

bool ApplyStopBits(termios &t, int code)
{
    if (code < 0 || code > 2)
        return false;
    if (code == 0)
        t.c_cflag &= ~CSTOPB;
    else
        t.c_cflag |= CSTOPB;
    return true;
}

void ApplyFlowControl(termios &t, int code)
{
    constexpr cc_t Xon = 0x11;
    constexpr cc_t Xoff = 0x13;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cflag &= ~CRTSCTS;
    if (code == 1) {
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = Xon;
        t.c_cc[VSTOP] = Xoff;
    } else if (code == 2) {
        t.c_cflag |= CRTSCTS;
    }
}

bool ApplyFormat(termios &t, const TSerialLineSettings &settings)
{
    // The settings count bits; the codes number the rows of the tables above.
    const int dataCode = settings.dataBits - 4;
    const int stopCode = settings.stopBits == 1 ? 0 : (settings.stopBits == 2 ? 2 : -1);
    termios changed = t;
    if (!ApplyDataBits(changed, dataCode) || !ApplyStopBits(changed, stopCode) ||
        !ApplyParity(changed, settings.parity))
        return false;
    ApplyFlowControl(changed, 0);
    t = changed;
    return true;
}

void MakeRaw(termios &t)
{
    cfmakeraw(&t);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | ISTRIP);
    t.c_cflag |= CREAD | CLOCAL;
    // With the non-blocking descriptor a read without data then fails with
    // EAGAIN instead of returning 0, which stays the sign of a hang-up.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

} // namespace TermiosCodes
