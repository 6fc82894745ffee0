#pragma once

// Bit rates that have no B-constant of their own (14400, 56000, 128000,
// 256000, any custom rate) are set through the kernel's termios2 interface
// with BOTHER. Its header cannot share a translation unit with <termios.h>,
// so these two calls live apart. Linux only.
namespace Termios2 {

// Sets both directions of the line to bitsPerSecond; false when the driver
// refuses the rate or the call.
bool SetBaud(int fd, int bitsPerSecond);
// The output bit rate the driver holds, -1 when it cannot be read.
int GetBaud(int fd);

} // namespace Termios2
