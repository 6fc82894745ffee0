#!/usr/bin/python3
"""An independent Modbus slave for the master's tests, served by pymodbus.

    modbus_slave.py tcp            Modbus TCP on 127.0.0.1, a free port
    modbus_slave.py rtu|ascii      RTU or ASCII framing on a pseudo-terminal

Prints one line when it serves: "READY tcp <port>" or "READY serial <device>"
(the device the master opens). If pymodbus cannot be imported it prints
"MISSING <reason>" and exits with 3.

Unit 1 answers; every other unit stays silent. Holding registers at protocol
addresses 0..199 start as 0x1000 + address; other addresses give exception 2,
except 500..509, where the datastore fails (exception 4).

Commands on standard input, one per line, each answered "OK <command>":
"drop" closes every TCP connection. End of input stops the slave.
"""
import asyncio
import logging
import os
import sys
import tty

try:
    from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                    ModbusSlaveContext)
    from pymodbus.server.async_io import ModbusSerialServer, ModbusTcpServer
    from pymodbus.transaction import ModbusAsciiFramer, ModbusRtuFramer
except ImportError as exc:  # the test names the missing package
    print(f"MISSING {exc}", flush=True)
    sys.exit(3)

UNIT = 1
REGISTERS = 200
FAILING_FIRST, FAILING_LAST = 500, 509


class TestBlock(ModbusSequentialDataBlock):
    """Registers 0..199 plus a range whose reads make the datastore fail."""

    def validate(self, address, count=1):
        if FAILING_FIRST <= address <= FAILING_LAST:
            return True
        return super().validate(address, count)

    def getValues(self, address, count=1):
        if FAILING_FIRST <= address <= FAILING_LAST:
            raise RuntimeError("datastore failure")
        return super().getValues(address, count)


def make_context():
    block = TestBlock(0, [0x1000 + a for a in range(REGISTERS)])
    slave = ModbusSlaveContext(hr=block, zero_mode=True)
    return ModbusServerContext(slaves={UNIT: slave}, single=False)


def open_bridged_ptys(loop):
    """Two pseudo-terminals whose master sides are joined: pymodbus opens one
    slave side, the master under test the other. Both slave sides stay open
    here, so a closing peer never leaves a master side at end of file."""
    ends = []
    for _ in range(2):
        master, slave = os.openpty()
        tty.setraw(slave)
        os.set_blocking(master, False)
        ends.append((master, slave))

    def pump(src, dst):
        try:
            data = os.read(src, 4096)
        except (BlockingIOError, OSError):
            return
        if data:
            os.write(dst, data)

    (m1, _), (m2, _) = ends
    loop.add_reader(m1, pump, m1, m2)
    loop.add_reader(m2, pump, m2, m1)
    return os.ttyname(ends[0][1]), os.ttyname(ends[1][1])


async def serve_tcp(context):
    server = ModbusTcpServer(context, address=("127.0.0.1", 0), ignore_missing_slaves=True)
    task = asyncio.create_task(server.serve_forever())
    await server.serving
    port = server.server.sockets[0].getsockname()[1]
    return server, task, f"READY tcp {port}"


async def serve_serial(context, framer):
    loop = asyncio.get_running_loop()
    inner, outer = open_bridged_ptys(loop)
    server = ModbusSerialServer(context, framer=framer, port=inner, baudrate=9600,
                                ignore_missing_slaves=True)
    await server.start()
    task = asyncio.create_task(server.serve_forever())
    return server, task, f"READY serial {outer}"


def drop_connections(server):
    for handler in list(getattr(server, "active_connections", {}).values()):
        handler.transport.close()


async def main(mode):
    context = make_context()
    if mode == "tcp":
        server, task, ready = await serve_tcp(context)
    else:
        framer = ModbusRtuFramer if mode == "rtu" else ModbusAsciiFramer
        server, task, ready = await serve_serial(context, framer)
    print(ready, flush=True)

    loop = asyncio.get_running_loop()
    reader = asyncio.StreamReader()
    await loop.connect_read_pipe(lambda: asyncio.StreamReaderProtocol(reader), sys.stdin)
    while True:
        line = await reader.readline()
        if not line:
            break
        command = line.decode().strip()
        if command == "drop":
            drop_connections(server)
        print(f"OK {command}", flush=True)
    task.cancel()


if __name__ == "__main__":
    logging.disable(logging.CRITICAL)
    if len(sys.argv) != 2 or sys.argv[1] not in ("tcp", "rtu", "ascii"):
        print("usage: modbus_slave.py tcp|rtu|ascii", file=sys.stderr)
        sys.exit(2)
    asyncio.run(main(sys.argv[1]))
