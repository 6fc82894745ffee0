#pragma once

#include <QtGlobal>

// The Modbus master library: RTU, ASCII and TCP master protocols behind
// opaque handles. Every call except create, isOpen, the getters and close
// returns a result code: 0 on success, else one of the codes below. The class
// layer (uMbusMasterFunctions) turns them into exceptions.
//
// Register references are 1-based: reference n is protocol address n - 1.
// A 32-bit value spans two registers; by default the first register holds the
// low 16 bits (configureBigEndianInts swaps that).

struct TMbusProtocol;
using TMbusHandle = TMbusProtocol *;

// Result codes.
enum : int {
    MbusOk = 0,
    MbusIllegalArgument = 1,
    MbusIllegalState = 2,
    MbusIoErrorClass = 64,
    MbusIoError = 65,
    MbusOpenError = 66,
    MbusPortAlreadyOpen = 67,
    MbusTcpConnectError = 68,
    MbusConnectionClosed = 69,
    MbusSocketLibError = 70,
    MbusPortAlreadyBound = 71,
    MbusListenFailed = 72,
    MbusFiledesExceeded = 73,
    MbusPortNoAccess = 74,
    MbusPortNotAvail = 75,
    MbusProtocolErrorClass = 128,
    MbusChecksumError = 129,
    MbusInvalidFrame = 130,
    MbusInvalidReply = 131,
    MbusReplyTimeout = 132,
    // A Modbus exception reply: this plus the exception code for codes 1..4;
    // the code itself for any other exception code.
    MbusExceptionResponse = 160,
    MbusIllegalFunction = 161,
    MbusIllegalAddress = 162,
    MbusIllegalValue = 163,
    MbusSlaveFailure = 164,
};

// Reply time-out of a new protocol.
constexpr int MbusDefaultTimeoutMs = 1000;
constexpr int MbusMaxTimeoutMs = 100000;
constexpr quint16 MbusDefaultTcpPort = 502;

TMbusHandle mbusMaster_createRtuProtocol();
TMbusHandle mbusMaster_createAsciiProtocol();
TMbusHandle mbusMaster_createTcpProtocol();
// Frees the handle, closing it when open.
void mbusMaster_destroyProtocol(TMbusHandle handle);

// portName is "\\.\COM" + number (also "COMn"); dataBits 7 or 8, stopBits 1
// or 2, parity 0 none, 1 odd, 2 even.
int mbusMaster_openSerialProtocol(TMbusHandle handle, const char *portName, int baudRate, int dataBits,
                                  int stopBits, int parity);
// hostName is a dotted IP address (a resolvable name also works); the port is
// the one set by mbusMaster_setTcpPort.
int mbusMaster_openTcpProtocol(TMbusHandle handle, const char *hostName);
int mbusMaster_setTcpPort(TMbusHandle handle, quint16 port);
quint16 mbusMaster_getTcpPort(TMbusHandle handle);
int mbusMaster_closeProtocol(TMbusHandle handle);
int mbusMaster_isOpen(TMbusHandle handle);

int mbusMaster_setTimeout(TMbusHandle handle, int timeoutMs);
int mbusMaster_getTimeout(TMbusHandle handle);
// Minimum pause between the end of one transaction and the next request.
int mbusMaster_setPollDelay(TMbusHandle handle, int pollDelayMs);
int mbusMaster_getPollDelay(TMbusHandle handle);
// Repeats of a transaction that got no reply or a damaged one.
int mbusMaster_setRetryCnt(TMbusHandle handle, int retryCnt);
int mbusMaster_getRetryCnt(TMbusHandle handle);
// Word order of the long-int calls (little endian: first register low).
int mbusMaster_configureBigEndianInts(TMbusHandle handle);
int mbusMaster_configureLittleEndianInts(TMbusHandle handle);
// Float word order, remembered for callers; no call here moves floats, the
// sensor's own float format is decoded above this library.
int mbusMaster_configureSwappedFloats(TMbusHandle handle);
int mbusMaster_configureIeeeFloats(TMbusHandle handle);

// Function 3.
int mbusMaster_readMultipleRegisters(TMbusHandle handle, int slaveAddr, int startRef, quint16 *regArr,
                                     int refCnt);
// Function 16.
int mbusMaster_writeMultipleRegisters(TMbusHandle handle, int slaveAddr, int startRef, const quint16 *regArr,
                                      int refCnt);
// Function 6.
int mbusMaster_writeSingleRegister(TMbusHandle handle, int slaveAddr, int regAddr, quint16 regVal);
// Functions 3 and 16 with two registers per value.
int mbusMaster_readMultipleLongInts(TMbusHandle handle, int slaveAddr, int startRef, qint32 *int32Arr,
                                    int refCnt);
int mbusMaster_writeMultipleLongInts(TMbusHandle handle, int slaveAddr, int startRef, const qint32 *int32Arr,
                                     int refCnt);

// The result code of a system or wire error number (errno, or the Modbus
// library's own numbers with exception replies folded in), as a transaction
// or as an open reports it.
int MbusResultOfError(int error, bool duringOpen);
