#!/usr/bin/python3
# A board's end of a serial line for the Windows programs under Wine: a pseudo-terminal whose
# other end is linked where Wine's COM5 points. It takes what the program writes and keeps it in
# a file; with --hang-up-after N it hangs up (closes its end) once N bytes have arrived, as a
# pulled cable does.
import argparse
import os
import select
import sys
import time
import tty

parser = argparse.ArgumentParser()
parser.add_argument("--link", required=True, help="the path Wine's COM port points to")
parser.add_argument("--out", required=True, help="the file to keep the bytes in")
parser.add_argument("--hang-up-after", type=int, default=0)
parser.add_argument("--quiet", type=float, default=3.0, help="seconds without a byte that end a write")
parser.add_argument("--timeout", type=float, default=60.0)
args = parser.parse_args()

master, slave = os.openpty()
tty.setraw(slave)
name = os.ttyname(slave)
tmp = args.link + ".new"
if os.path.lexists(tmp):
    os.unlink(tmp)
os.symlink(name, tmp)
os.replace(tmp, args.link)
# Our own hold on the far end stays open until the program has written, so that the pseudo-
# terminal lives between the program's open and its first write.
received = bytearray()
print("ready", flush=True)
started = time.monotonic()
last = None
while time.monotonic() - started < args.timeout:
    ready, _, _ = select.select([master], [], [], 0.2)
    if ready:
        try:
            chunk = os.read(master, 4096)
        except OSError:
            break
        received += chunk
        last = time.monotonic()
        if args.hang_up_after and len(received) >= args.hang_up_after:
            break
    elif last is not None and time.monotonic() - last > args.quiet:
        break
os.close(master)
os.close(slave)
with open(args.out, "wb") as out:
    out.write(received)
sys.exit(0)
