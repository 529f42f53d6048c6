"""Runs a board firmware template in the s51 simulator and reads back what its LEDs show.

The image is put together the way the HEX export writes it: the template's
records, for boards 2 and 3 the length record at 0x024E, the content as
16-byte records from 0x0280 and the end-of-file record.  A hall sensor is
driven through a VCD input on P3.2; the LED lines are traced through a VCD
output and turned back into the columns a viewer would see, using the wiring
given for each board.
"""

import os
import re
import subprocess
import sys
import tempfile
import threading
from dataclasses import dataclass

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
TEMPLATES = os.path.join(ROOT, "src", "hex", "templates")

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(ROOT, "firmware"))
import firmwareimage  # noqa: E402

CONTENT_ADDRESS = firmwareimage.CONTENT_START
CRYSTAL = 12_000_000
HALL_PULSE_US = 100  # how long the sensor output stays low at each edge
MIN_SHOW_US = 20  # shorter LED states are switching glitches no eye sees


# ---- content and the export image -------------------------------------------


def column_bytes(column):
    """A pattern unique to every column of a 2048-column canvas: the column number
    in the top byte and bottom bits, with a marker so that no column is dark."""
    return column & 0xFF, 0xA0 | (column >> 8)


def content_code(columns):
    return "".join(f"{top:02x}{bottom:02x}" for top, bottom in map(column_bytes, range(columns)))


def led_pattern(top, bottom):
    """16 bits, LED 1 (the top dot) in bit 15."""
    return (top << 8) | bottom


def hex_record(address, data_text):
    """One data record; data_text is copied as it is (lower-case content digits)."""
    body = f"{len(data_text) // 2:02X}{address:04X}00{data_text}"
    total = sum(int(body[i : i + 2], 16) for i in range(0, len(body), 2))
    return f":{body}{(-total) & 0xFF:02X}"


def export_image(variant, code):
    """The HEX text of the export for a variant and a content code."""
    with open(os.path.join(TEMPLATES, f"variant-{variant}.hex"), encoding="ascii") as f:
        lines = f.read().splitlines()
    if variant in firmwareimage.WITH_LENGTH_WORD:
        value = round(len(code) / 2) + firmwareimage.LENGTH_WORD_EXTRA
        lines.append(hex_record(firmwareimage.LENGTH_WORD, f"{value & 0xFFFF:04X}"))
    size = firmwareimage.RECORD_SIZE
    digits = 2 * size
    for k in range(len(code) // digits + 1):
        piece = (code[digits * k : digits * k + digits] + "0" * digits)[:digits]
        lines.append(hex_record(CONTENT_ADDRESS + size * k, piece))
    lines.append(":00000001FF")
    return "".join(line + "\r\n" for line in lines)


# ---- the boards' wiring -------------------------------------------------------


@dataclass(frozen=True)
class PortWiring:
    """LEDs straight on P1 and P2: pins[i] = (port, pin) of LED i+1, lit when low."""

    name: str
    pins: tuple

    traced = ("P1", "P2")

    def pattern(self, p1, p2):
        ports = {1: p1, 2: p2}
        bits = 0
        for port, pin in self.pins:
            bits = (bits << 1) | (((ports[port] >> pin) & 1) ^ 1)
        return bits


@dataclass(frozen=True)
class DriverWiring:
    """Two chained 8-bit shift-register drivers on P2.0 /OE, P2.1 data, P2.2 clock,
    P2.3 latch.  stages[i] is the register stage behind LED i+1: stage k is output
    Qk of the first driver for k < 8 and Q(k-8) of the second for k >= 8."""

    name: str
    stages: tuple
    active_high: bool

    traced = ("port2_value",)

    def pattern(self, register):
        bits = 0
        for stage in self.stages:
            level = (register >> stage) & 1
            bits = (bits << 1) | (level if self.active_high else level ^ 1)
        return bits


def driver_stages(outputs):
    """Stages for 16 LEDs when both drivers take the same outputs for their 8 LEDs."""
    return tuple(outputs) + tuple(8 + q for q in outputs)


SCRAMBLED = (3, 0, 7, 5, 6, 4, 2, 1)  # first driver output behind LED 1..8 on boards 3 and 33
PLAIN = (7, 6, 5, 4, 3, 2, 1, 0)

WIRING = {
    0: PortWiring("P1.0..P1.7, P2.0..P2.7", tuple((1, i) for i in range(8)) + tuple((2, i) for i in range(8))),
    1: PortWiring("P1.7..P1.0, P2.7..P2.0", tuple((1, 7 - i) for i in range(8)) + tuple((2, 7 - i) for i in range(8))),
    2: DriverWiring("Q7..Q0 sinking", driver_stages(PLAIN), False),
    3: DriverWiring("Q3 Q0 Q7 Q5 Q6 Q4 Q2 Q1 sourcing", driver_stages(SCRAMBLED), True),
}
WIRING[22] = WIRING[2]
WIRING[33] = WIRING[3]

# Wirings a faulty firmware might have been written for; decoding with any of
# them must not pass for the board's real firmware.
WRONG_WIRING = {
    0: [
        WIRING[1],
        PortWiring("ports swapped", tuple((2, i) for i in range(8)) + tuple((1, i) for i in range(8))),
    ],
    1: [
        WIRING[0],
        PortWiring("ports swapped", tuple((2, 7 - i) for i in range(8)) + tuple((1, 7 - i) for i in range(8))),
    ],
    2: [
        WIRING[3],
        DriverWiring("Q7..Q0 sourcing", driver_stages(PLAIN), True),
        DriverWiring("Q0..Q7 sinking", driver_stages(tuple(reversed(PLAIN))), False),
        DriverWiring("drivers swapped", tuple(8 + q for q in PLAIN) + PLAIN, False),
    ],
    3: [
        WIRING[2],
        DriverWiring("Q3 Q0 Q7 Q5 Q6 Q4 Q2 Q1 sinking", driver_stages(SCRAMBLED), False),
        DriverWiring("Q7..Q0 sourcing", driver_stages(PLAIN), True),
        DriverWiring("drivers swapped", tuple(8 + q for q in SCRAMBLED) + SCRAMBLED, True),
    ],
}
WRONG_WIRING[22] = WRONG_WIRING[2]
WRONG_WIRING[33] = WRONG_WIRING[3]


# ---- running the simulator ----------------------------------------------------


@dataclass
class Trace:
    variant: int
    edges: list  # sensor edge times, us
    end: float  # simulated time reached, us
    changes: list  # (time us, traced values) after every change, in time order


def hall_vcd(edges):
    lines = ["$timescale 1us $end", "$scope module hall $end", "$var wire 8 ! pin3 $end", "$upscope $end"]
    lines += ["$enddefinitions $end", "#0", "b11111111 !"]
    for t in edges:
        lines += [f"#{t}", "b11111011 !", f"#{t + HALL_PULSE_US}", "b11111111 !"]
    return "\n".join(lines) + "\n"


def simulate(variant, code, edges, run_us, seed=1):
    """Runs the export image of code for run_us of simulated time (at least) with
    falling sensor edges at the given times (us); returns the LED trace."""
    wiring = WIRING[variant]
    with tempfile.TemporaryDirectory(prefix="povsim-") as tmp:
        with open(os.path.join(tmp, "image.hex"), "w", encoding="ascii", newline="") as f:
            f.write(export_image(variant, code))
        with open(os.path.join(tmp, "hall.vcd"), "w", encoding="ascii") as f:
            f.write(hall_vcd(edges))
        setup = [
            'file "image.hex"',
            "set hw vcd[0] new 1",
            'set hw vcd[1] input "hall.vcd"',
            'set hw vcd[0] output "leds.vcd"',
        ]
        setup += [f"set hw vcd[0] add {name}" for name in wiring.traced]
        setup += ["set hw vcd[0] start", "set hw vcd[1] start"]
        with open(os.path.join(tmp, "setup.cmd"), "w", encoding="ascii") as f:
            f.write("\n".join(setup) + "\n")
        end = run_steps(["s51", "-t", "C52", "-X", str(CRYSTAL), "-R", str(seed), "-b", "-C", "setup.cmd"], tmp, run_us)
        changes = read_vcd(os.path.join(tmp, "leds.vcd"), wiring.traced)
    return Trace(variant, list(edges), end, changes)


def run_steps(command, cwd, run_us, timeout=600):
    """Steps the simulator until run_us of simulated time have passed; returns the
    time reached (us).  The steps go in chunks: s51 counts the ticks of one step in
    31 bits, which a single long step would overflow."""
    process = subprocess.Popen(
        command, cwd=cwd, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True
    )
    watchdog = threading.Timer(timeout, process.kill)
    watchdog.start()
    log = []
    ticks = 0
    try:
        while ticks < run_us * CRYSTAL / 1e6:
            # Every instruction takes at least one machine cycle (1 us at 12 MHz),
            # so this many steps cover what is left.
            left_us = run_us - ticks * 1e6 / CRYSTAL
            process.stdin.write(f"step {min(2_000_000, max(1000, int(left_us) + 1))}\n")
            process.stdin.flush()
            while True:
                line = process.stdout.readline()
                if not line:
                    raise RuntimeError("s51 stopped:\n" + "".join(log[-40:]))
                log.append(line)
                if "Error" in line:
                    raise RuntimeError("s51 failed:\n" + "".join(log[-40:]))
                match = re.search(r"Simulated (\d+) ticks", line)
                if match:
                    ticks += int(match.group(1))
                    break
        process.stdin.write("quit\n")
        process.stdin.close()
        process.wait()
    finally:
        watchdog.cancel()
        if process.poll() is None:
            process.kill()
            process.wait()
    return ticks * 1e6 / CRYSTAL


def read_vcd(path, names):
    """Value changes of the named variables: [(time us, (values...))]."""
    ids = {}
    values = [None] * len(names)
    changes = []
    time = 0.0
    with open(path, encoding="ascii") as f:
        for line in f:
            if line.startswith("$var"):
                fields = line.split()
                if fields[4] in names:
                    ids[fields[3]] = names.index(fields[4])
            elif line.startswith("$timescale"):
                if "1ps" not in line.replace(" ", ""):
                    raise RuntimeError(f"unexpected VCD time scale: {line.strip()}")
            elif line.startswith("#"):
                time = int(line[1:]) / 1e6
            elif line.startswith("b"):
                bits, ident = line[1:].split()
                if ident in ids:
                    values[ids[ident]] = int(bits, 2)
                    if None not in values:
                        if changes and changes[-1][0] == time:
                            changes[-1] = (time, tuple(values))
                        else:
                            changes.append((time, tuple(values)))
    if len(ids) != len(names):
        raise RuntimeError(f"the trace lacks some of {names}")
    return changes


# ---- what the LEDs show -------------------------------------------------------


class WiringFault(Exception):
    """The traced lines break the drivers' timing (data changing with the clock edge)."""


def shows(trace, wiring, until=None):
    """Lit LED states that last at least MIN_SHOW_US: [(start us, end us, pattern)],
    from the start of the trace up to until (us) or its end."""
    end = trace.end if until is None else until
    cache = {}
    states = []  # (time, pattern) whenever the displayed pattern may change
    if isinstance(wiring, PortWiring):
        for time, ports in trace.changes:
            if time > end:
                break
            pattern = cache.get(ports)
            if pattern is None:
                pattern = cache[ports] = wiring.pattern(*ports)
            states.append((time, pattern))
    else:
        register = latched = 0
        previous = None
        shown = 0
        for time, (port,) in trace.changes:
            if time > end:
                break
            if previous is not None:
                rising = port & ~previous
                if rising & 0b0100:
                    if (port ^ previous) & 0b0010:
                        raise WiringFault(f"data changes with the clock edge at {time:.1f} us")
                    register = ((register << 1) | ((port >> 1) & 1)) & 0xFFFF
                if rising & 0b1000:
                    if rising & 0b0100:
                        raise WiringFault(f"latch and clock rise together at {time:.1f} us")
                    latched = register
                if not (rising & 0b1000 or (port ^ previous) & 0b0001):
                    previous = port
                    continue
            previous = port
            if port & 1:
                shown = 0
            else:
                shown = cache.get(latched)
                if shown is None:
                    shown = cache[latched] = wiring.pattern(latched)
            states.append((time, shown))
    result = []
    start, current = None, 0
    for time, pattern in states + [(end, 0)]:
        if pattern == current:
            continue
        if current and time - start >= MIN_SHOW_US:
            if result and result[-1][2] == current and start - result[-1][1] < MIN_SHOW_US:
                result[-1] = (result[-1][0], time, current)  # a glitch inside one column
            else:
                result.append((start, time, current))
        start, current = time, pattern
    return result
