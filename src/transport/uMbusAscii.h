#pragma once

#include <QByteArray>
#include <QtGlobal>

// Modbus ASCII framing: ":" + the slave address, the PDU and the LRC as
// upper-case hexadecimal text + CR LF. The wire on a serial line lives in
// uMbusAscii.cpp behind the IMbusWire interface; the codec is here so it can
// be checked without a line.
namespace MbusAscii {

// Two's complement of the byte sum of slave address and PDU.
quint8 Lrc(const QByteArray &bytes);
// The whole frame for slave + PDU.
QByteArray EncodeFrame(quint8 slave, const QByteArray &pdu);
// Decodes the text between ":" and CR LF (neither included) into slave
// address + PDU. Returns 0, EPROTO for text that is no frame (odd length,
// non-hex digits, too short) or EMBBADCRC for a wrong LRC.
int DecodeFrame(const QByteArray &text, QByteArray *bytes);
// Checks a reply PDU against the function and byte count expected: 0, the
// error number of an exception reply (MODBUS_ENOBASE + code, EMBBADEXC) or
// EMBBADDATA when it does not answer the request.
int CheckReply(const QByteArray &request, const QByteArray &reply, int expectedLength);

} // namespace MbusAscii
