#include "transport/uTermios2.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace Termios2 {

bool SetBaud(int fd, int bitsPerSecond)
{
    if (bitsPerSecond <= 0)
        return false;
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    // The input rate follows the output rate when its own bits are zero.
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER;
    t.c_ospeed = static_cast<speed_t>(bitsPerSecond);
    t.c_ispeed = static_cast<speed_t>(bitsPerSecond);
    return ioctl(fd, TCSETS2, &t) == 0;
}

int GetBaud(int fd)
{
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return -1;
    return static_cast<int>(t.c_ospeed);
}

} // namespace Termios2
