#pragma once

#include "transport/uSerialLine.h"

#include <termios.h>

// The line codes of TSyncRS written into a POSIX line state. Each function
// changes only its own part of the state and returns false, leaving the state
// as it was, for a code the line cannot take.
namespace TermiosCodes {

// The B-constant of a bit rate, or B0 when the rate has none (then the rate
// goes through termios2).
speed_t BaudConstant(int bitsPerSecond);

// 0 none, 1 odd, 2 even, 3 mark, 4 space (mark and space through CMSPAR).
bool ApplyParity(termios &t, int code);
// 1..4 = 5..8 data bits; code 0 (4 data bits) has no POSIX form.
bool ApplyDataBits(termios &t, int code);
// 0 one, 1 one and a half, 2 two stop bits. CSTOPB gives the UART's one and a
// half stop bits with 5 data bits and two otherwise, as the Windows drivers
// pair them.
bool ApplyStopBits(termios &t, int code);
// Clears every handshake, then sets 1 XON/XOFF both ways or 2 RTS/CTS. Code 3
// (DTR/DSR) has no termios form: the handshake stays cleared, as for codes
// above 3.
void ApplyFlowControl(termios &t, int code);
// A format counted in bits (5..8 data, 1 or 2 stop, parity as above) with
// every handshake cleared; false, leaving the state as it was, when one part
// has no termios form.
bool ApplyFormat(termios &t, const TSerialLineSettings &settings);
// Raw binary line: no echo, no signals, no CR/LF translation, no output
// processing, no flow-control characters, receiver on, modem status lines
// ignored, no driver read timer (VTIME 0: the time-outs are ours).
void MakeRaw(termios &t);

} // namespace TermiosCodes
