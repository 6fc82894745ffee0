#pragma once

#include "shell/uErrors.h"

// The exceptions the Modbus master's result codes become. I/O and socket
// failures derive from EInOutError, failed exchanges from
// EBusProtocolException, exception replies of the slave from
// EMbusResponseException.
PELINOR_EXCEPTION(EOpenErr, EInOutError);
PELINOR_EXCEPTION(EPortAlreadyOpen, EInOutError);
PELINOR_EXCEPTION(ETcpipConnectErr, EInOutError);
PELINOR_EXCEPTION(EConnectionWasClosed, EInOutError);
PELINOR_EXCEPTION(ESocketLibError, EInOutError);
PELINOR_EXCEPTION(EPortAlreadyBound, EInOutError);
PELINOR_EXCEPTION(EListenFailed, EInOutError);
PELINOR_EXCEPTION(EFiledesExceeded, EInOutError);
PELINOR_EXCEPTION(EPortNoAccess, EInOutError);
PELINOR_EXCEPTION(EPortNotAvail, EInOutError);
PELINOR_EXCEPTION(EBusProtocolException, EInOutError);
PELINOR_EXCEPTION(EChecksumException, EBusProtocolException);
PELINOR_EXCEPTION(EInvalidFrameException, EBusProtocolException);
PELINOR_EXCEPTION(EInvalidReplyException, EBusProtocolException);
PELINOR_EXCEPTION(EReplyTimeoutException, EBusProtocolException);
PELINOR_EXCEPTION(EMbusResponseException, EBusProtocolException);
PELINOR_EXCEPTION(EMbusIllegalFunctionException, EMbusResponseException);
PELINOR_EXCEPTION(EMbusIllegalAddressException, EMbusResponseException);
PELINOR_EXCEPTION(EMbusIllegalValueException, EMbusResponseException);
PELINOR_EXCEPTION(EMbusSlaveFailureException, EMbusResponseException);

// The text of a result code ("Unknown error" for codes without one).
QString BusProtocolErrorText(int code);
// Raises the exception of a result code; nothing for 0.
void RaiseBusProtocolError(int code);
