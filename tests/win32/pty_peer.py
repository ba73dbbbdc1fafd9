#!/usr/bin/env python3
"""The far end of a serial line for the console under Wine: a pseudo-terminal whose slave
Wine opens as a COM port. Prints the slave's path, then until killed: appends every byte read
at the master to <folder>/received (as hex text, "01 10 ..."), and writes the bytes of any
<folder>/outbox file to the line, removing the file."""
import os
import pty
import select
import sys
import termios
import tty

folder = sys.argv[1]
master, slave = pty.openpty()
tty.setraw(master)
print(os.ttyname(slave), flush=True)
received = os.path.join(folder, "received")
outbox = os.path.join(folder, "outbox")
open(received, "w").close()
while True:
    ready, _, _ = select.select([master], [], [], 0.02)
    if ready:
        try:
            data = os.read(master, 4096)
        except OSError:
            data = b""
        with open(received, "a") as out:
            out.write("".join("%02X " % b for b in data))
    if os.path.exists(outbox):
        with open(outbox, "rb") as f:
            os.write(master, bytes.fromhex(f.read().decode()))
        os.remove(outbox)
