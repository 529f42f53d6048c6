#!/usr/bin/python3
"""Runs one board firmware with real content in the 8051 simulator and checks what a
viewer of the spinning board would see:

    test_simulation.py VARIANT

Each revolution must show content columns only, next to each other in the board's
order and at its pace, starting where the scroll position has got to; over the run
every column of the content must have been shown; boards 2 and 3 must keep the
columns past the end of content dark; when the sensor edges stop the display must go
dark.  Decoding the same trace with a wrong wiring must fail.
"""

import sys
from bisect import bisect_left
from dataclasses import dataclass

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import povsim  # noqa: E402

CANVAS_COLUMNS = 2048
SETTLE = 2  # revolutions after reset that are not checked
FIRST_EDGE_US = 60_000


class CheckFailed(Exception):
    pass


@dataclass(frozen=True)
class Board:
    kind: str  # "window": a fixed number of columns per revolution; "slots": columns until the next edge
    direction: int = 1  # +1: left column first; -1: right column first
    columns: int = 0  # window: columns per revolution
    step_revolutions: int = 1  # revolutions per one-column scroll step
    first_us: tuple = (0, 0)  # time from the sensor edge to the first column
    column_us: float = 0  # time from one column to the next
    lit_us: float = 0  # how long a column is lit
    length_word: bool = False  # the content ends where the length word says
    stop_slots: int = 0  # slots: the display goes dark after this many without an edge


BOARDS = {
    0: Board("window", direction=-1, columns=108, step_revolutions=1, first_us=(20, 150), column_us=203),
    1: Board("window", direction=1, columns=108, step_revolutions=4, first_us=(20, 150), column_us=165),
    2: Board("slots", first_us=(500, 1000), column_us=500, lit_us=400, length_word=True, stop_slots=256),
    22: Board("slots", first_us=(500, 750), column_us=250, lit_us=200, stop_slots=608),
    33: Board("slots", first_us=(2250, 2500), column_us=250, lit_us=200, stop_slots=608),
}
BOARDS[3] = BOARDS[2]


def fail(message):
    raise CheckFailed(message)


def near(value, target, tolerance):
    return abs(value - target) <= tolerance


def revolutions(trace, shown, columns):
    """Per checked revolution: (edge, next edge, [(start, end, column)])."""
    lookup = {povsim.led_pattern(*povsim.column_bytes(c)): c for c in range(columns)}
    starts = [s[0] for s in shown]
    result = []
    for r in range(SETTLE, len(trace.edges) - 1):
        edge, following = trace.edges[r], trace.edges[r + 1]
        items = []
        for start, end, pattern in shown[bisect_left(starts, edge) : bisect_left(starts, following)]:
            if pattern not in lookup:
                fail(f"revolution {r}: LED pattern {pattern:016b} at {start:.0f} us is no column of the content")
            items.append((start, end, lookup[pattern]))
        result.append((edge, following, items))
    return result


def check_revolution(board, columns, edge, following, items):
    """Checks one revolution; returns its first column (the scroll position)."""
    where = f"revolution at {edge} us"
    if not items:
        if board.length_word and columns == 0:
            return None  # an empty content: nothing to show
        fail(f"{where}: nothing shown")
    cols = [c for _, _, c in items]
    wrap = CANVAS_COLUMNS if not board.length_word else None
    for a, b in zip(cols, cols[1:]):
        expected = a + board.direction
        if wrap:
            expected %= wrap
        if b != expected:
            fail(f"{where}: column {b} follows column {a}, expected {expected}")
    if not (board.first_us[0] <= items[0][0] - edge <= board.first_us[1]):
        fail(f"{where}: first column {items[0][0] - edge:.0f} us after the edge, expected {board.first_us}")
    for (a, _, _), (b, _, _) in zip(items, items[1:]):
        if not near(b - a, board.column_us, 8):
            fail(f"{where}: columns {b - a:.0f} us apart, expected {board.column_us}")
    if board.kind == "window":
        if len(cols) != board.columns:
            fail(f"{where}: {len(cols)} columns shown, expected {board.columns}")
        for start, end, _ in items:
            if not near(end - start, board.column_us, board.column_us * 0.05):
                fail(f"{where}: a column lit {end - start:.0f} us, expected about {board.column_us}")
        first = min(cols)
        if first > CANVAS_COLUMNS - board.columns:
            fail(f"{where}: the window starting at column {first} runs past the canvas")
        return first
    for start, end, _ in items:
        if not near(end - start, board.lit_us, 8):
            fail(f"{where}: a column lit {end - start:.0f} us, expected {board.lit_us}")
    first = cols[0]
    if board.length_word and cols[-1] == columns - 1:
        return first  # the content ended here: the rest of the revolution is dark
    if items[-1][0] < following - 2 * board.column_us:
        fail(f"{where}: the columns stop at {items[-1][0] - edge:.0f} us, before the next edge")
    return first


def check_scroll(board, columns, positions):
    """The first column moves one column to the right every step_revolutions."""
    last_start = CANVAS_COLUMNS - board.columns if board.kind == "window" else columns - 1
    run = 1
    first_run = True
    for a, b in zip(positions, positions[1:]):
        if b == a:
            run += 1
            if run > board.step_revolutions and not first_run:
                fail(f"the display stays at column {a} for {run} revolutions, expected {board.step_revolutions}")
            continue
        expected = 0 if a == last_start else a + 1
        if b != expected:
            fail(f"the display moves from column {a} to {b}, expected {expected}")
        if not first_run and run != board.step_revolutions:
            fail(f"the display moved after {run} revolutions, expected {board.step_revolutions}")
        if first_run and run > board.step_revolutions:
            fail(f"the display first moved after {run} revolutions, expected {board.step_revolutions} at most")
        run = 1
        first_run = False


def check_trace(board, trace, wiring, columns, until=None):
    """Checks every revolution up to until (us); returns the set of columns shown."""
    shown = povsim.shows(trace, wiring, until)
    if until is not None:
        trace = povsim.Trace(trace.variant, [e for e in trace.edges if e <= until], until, [])
    positions = []
    seen = set()
    for edge, following, items in revolutions(trace, shown, columns):
        positions.append(check_revolution(board, columns, edge, following, items))
        seen.update(c for _, _, c in items)
    check_scroll(board, columns, [p for p in positions if p is not None])
    return seen, shown


def check_stop(board, trace, shown):
    """After the last sensor edge the board finishes its revolution and goes dark."""
    last = trace.edges[-1]
    after = [s for s in shown if s[0] >= last]
    if board.kind == "window":
        limit = last + board.first_us[1] + board.columns * board.column_us + 50
    else:
        limit = last + board.first_us[0] + (board.stop_slots + 2) * board.column_us
    if trace.end < limit + 20_000:
        fail(f"the run ended at {trace.end:.0f} us, too early to see the display stop")
    if after and after[-1][1] > limit:
        fail(f"still lit {after[-1][1] - last:.0f} us after the last sensor edge")


def run(variant, columns, edges, seed, expect):
    """expect: "all" columns shown over the run, "some" or "none"."""
    board = BOARDS[variant]
    code = povsim.content_code(columns)
    tail = 400_000 if board.kind == "slots" else 100_000
    trace = povsim.simulate(variant, code, edges, edges[-1] + tail, seed)

    seen, shown = check_trace(board, trace, povsim.WIRING[variant], columns)
    check_stop(board, trace, shown)
    if expect == "all" and seen != set(range(columns)):
        missing = sorted(set(range(columns)) - seen)
        fail(f"{len(missing)} columns never shown, the first {missing[:10]}")
    if expect == "none" and shown:
        fail(f"{len(shown)} columns shown from an empty content")

    if columns:
        # A few revolutions tell a wrong wiring at once.
        until = edges[SETTLE + 4]
        check_trace(board, trace, povsim.WIRING[variant], columns, until)
        for wrong in povsim.WRONG_WIRING[variant]:
            try:
                check_trace(board, trace, wrong, columns, until)
            except (CheckFailed, povsim.WiringFault):
                continue
            fail(f"decoding with the wrong wiring ({wrong.name}) passes too")
    return len(trace.edges), len(seen)


def steady(count, period, first=FIRST_EDGE_US):
    return [first + period * i for i in range(count)]


def main(argv):
    variant = int(argv[1])
    board = BOARDS[variant]
    runs = []
    if variant in (0, 1):
        # Every window position once, each for step_revolutions: a full round
        # through the canvas from where the window starts after reset.
        period = 24_000 if variant == 0 else 18_500
        count = SETTLE + board.step_revolutions * (CANVAS_COLUMNS - board.columns + 3)
        runs.append(("whole canvas", CANVAS_COLUMNS, steady(count, period), 1, "all"))
    elif variant in (2, 3):
        # Content that ends mid-canvas: the display runs from the first column to the
        # last one and starts again; past the end it stays dark.
        columns = 300
        runs.append(("300 columns", columns, steady(SETTLE + columns + 6, 30_000), 1, "all"))
        runs.append(("empty content", 0, steady(SETTLE + 6, 30_000), 2, "none"))
        runs.append(("whole canvas, slow motor", CANVAS_COLUMNS, steady(SETTLE + 8, 60_000), 3, "some"))
    else:
        # A few revolutions at 1500 rpm, then fast ones to scroll through the canvas.
        edges = steady(SETTLE + 6, 40_000)
        edges += steady(CANVAS_COLUMNS + 4, 10_000, edges[-1] + 10_000)
        runs.append(("whole canvas", CANVAS_COLUMNS, edges, 1, "all"))
    failed = False
    for name, columns, edges, seed, expect in runs:
        try:
            revs, seen = run(variant, columns, edges, seed, expect)
            print(f"board {variant}, {name}: {revs} revolutions, {seen} columns shown: ok")
        except (CheckFailed, povsim.WiringFault) as error:
            print(f"board {variant}, {name}: {error}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
