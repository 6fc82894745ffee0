// Arbitrary bit rates need the kernel's termios2 structure, whose header
// cannot share a unit with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

int SetArbitraryBitRate(int fd, int bitRate)
{
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return errno;
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ospeed = static_cast<speed_t>(bitRate);
    tio.c_ispeed = static_cast<speed_t>(bitRate);
    if (ioctl(fd, TCSETS2, &tio) != 0)
        return errno;
    return 0;
}

int LineBitRate(int fd)
{
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return -1;
    return static_cast<int>(tio.c_ospeed);
}
