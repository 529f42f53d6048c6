#!/usr/bin/python3
"""Runs one board firmware with real content in the 8051 simulator and checks what a
viewer of the spinning board would see:

    test_simulation.py VARIANT

Every column the LEDs show is matched, in order and in time, against the column
schedule of schedule.py (the behaviour firmware/README.md describes), from reset
on: nothing may show before the first sensor edge, each revolution must show
exactly the columns the schedule gives at the times it gives, and nothing else.
The sensor edges come with the motor speed varying by up to 5 %, and close to the
boards' column ticks.  Over the long runs every column of the content must have
been shown.  Decoding the same trace with a wrong wiring must fail.
"""

import random
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import povsim  # noqa: E402
import schedule  # noqa: E402

CANVAS_COLUMNS = schedule.CANVAS_COLUMNS
FIRST_EDGE_US = 60_000
FIRST_TOLERANCE_US = 10  # the first column of a revolution against the schedule
FIRST_SPREAD_US = 14  # most difference between the edge-to-first-column delays of a run
COLUMN_TOLERANCE_US = {schedule.Window: 5, schedule.Slots: 10}
BOUNDARY_US = 12  # a column due this close before an edge may or may not show


class CheckFailed(Exception):
    pass


def fail(message):
    raise CheckFailed(message)


def decode(shown, columns):
    """[(start, end, column)] of the LED states, each of which must be a column of the content."""
    lookup = {povsim.led_pattern(*povsim.column_bytes(c)): c for c in range(max(columns, CANVAS_COLUMNS))}
    result = []
    for start, end, pattern in shown:
        if pattern not in lookup:
            fail(f"LED pattern {pattern:016b} at {start:.0f} us is no column of the content")
        result.append((start, end, lookup[pattern]))
    return result


def expected(variant, edges, columns, end):
    """The schedule as [(time, column, revolution, first, optional, next edge)]: a
    column due within BOUNDARY_US of the next edge may show if it lights before it."""
    items = []
    revolutions = schedule.schedule(variant, edges, columns, end, BOUNDARY_US)
    for revolution, after in zip(revolutions, revolutions[1:] + [None]):
        following = edges[after.edge] if after else end
        for i, (t, column) in enumerate(revolution.columns):
            optional = t >= following - BOUNDARY_US or t >= end - povsim.MIN_SHOW_US
            items.append((t, column, revolution.edge, i == 0, optional, following))
    return items


def compare(variant, trace, wiring, columns, until=None):
    """Matches the decoded columns against the schedule up to until (us); returns
    the columns shown and the delays from each edge to its first column."""
    board = schedule.BOARDS[variant]
    end = trace.end if until is None else until
    shown = decode(povsim.shows(trace, wiring, end), columns)
    edges = [e for e in trace.edges if e < end]
    items = expected(variant, edges, columns, end)
    tolerance = COLUMN_TOLERANCE_US[type(board)]
    delays = []
    k = 0
    for t, column, revolution, first, optional, following in items:
        where = f"revolution {revolution} (edge at {edges[revolution]} us)"
        if k < len(shown) and shown[k][2] == column and abs(shown[k][0] - t) <= tolerance and shown[k][0] < following:
            start, stop, _ = shown[k]
            if first:
                delays.append(start - edges[revolution])
                if abs(start - t) > FIRST_TOLERANCE_US:
                    fail(f"{where}: first column {start - edges[revolution]:.0f} us after the edge, "
                         f"expected {t - edges[revolution]:.0f}")
            lit = board.lit_us if isinstance(board, schedule.Slots) else board.column_us
            if abs(stop - start - lit) > tolerance and stop < end - 1:
                fail(f"{where}: column {column} lit {stop - start:.0f} us, expected {lit}")
            k += 1
        elif not optional:
            found = f"column {shown[k][2]} at {shown[k][0] - edges[revolution]:.0f} us" if k < len(shown) else "nothing"
            fail(f"{where}: expected column {column} at {t - edges[revolution]:.0f} us after the edge, found {found}")
    if k < len(shown):
        start, _, column = shown[k]
        fail(f"column {column} shown at {start:.0f} us, where the schedule has nothing")
    return {c for _, _, c in shown}, delays


def run(variant, columns, edges, seed, expect):
    """expect: "all" columns shown over the run, "some" or "none"."""
    board = schedule.BOARDS[variant]
    code = povsim.content_code(columns)
    if isinstance(board, schedule.Slots):
        tail = board.first_us + (board.limit + 40) * board.column_us
    else:
        tail = board.frame_us() + 5_000
    trace = povsim.simulate(variant, code, edges, edges[-1] + tail, seed)

    seen, delays = compare(variant, trace, povsim.WIRING[variant], columns)
    if delays and max(delays) - min(delays) > FIRST_SPREAD_US:
        fail(f"the first column lights {min(delays):.0f} to {max(delays):.0f} us after the edge")
    if expect == "all" and seen != set(range(columns)):
        missing = sorted(set(range(columns)) - seen)
        fail(f"{len(missing)} columns never shown, the first {missing[:10]}")
    if expect == "none" and seen:
        fail(f"{len(seen)} columns shown from an empty content")

    if columns:
        # A few revolutions tell a wrong wiring at once.
        until = edges[min(4, len(edges) - 1)]
        for wrong in povsim.WRONG_WIRING[variant]:
            try:
                compare(variant, trace, wrong, columns, until)
            except (CheckFailed, povsim.WiringFault):
                continue
            fail(f"decoding with the wrong wiring ({wrong.name}) passes too")
    return len(trace.edges), len(seen), delays


def steady(count, period, first=FIRST_EDGE_US):
    return [first + period * i for i in range(count)]


def varying(count, period, seed, first=FIRST_EDGE_US):
    """Edges of a motor whose every revolution takes the period within 5 %."""
    rng = random.Random(seed)
    edges = [first]
    for _ in range(count - 1):
        edges.append(edges[-1] + round(period * rng.uniform(0.95, 1.05)))
    return edges


def near_ticks(board, slots, first=FIRST_EDGE_US):
    """Edges that fall from 12 us before to 12 us after a column of the revolution
    before would light, one microsecond further each revolution."""
    edges = [first]
    for offset in range(-12, 13):
        edges.append(edges[-1] + board.first_us + slots * board.column_us + offset)
    return edges


def main(argv):
    variant = int(argv[1])
    board = schedule.BOARDS[variant]
    runs = []
    if isinstance(board, schedule.Window):
        # Every window position, each for step_revolutions revolutions: a full round
        # through the canvas from the window after the first edge.
        period = 24_000 if variant == 0 else 18_500
        count = board.step_revolutions * (board.last_start + 3)
        runs.append(("whole canvas", CANVAS_COLUMNS, steady(count, period), 1, "all"))
        # Other power-on RAM, the speed varying; a motor too fast for the frame
        # shows every other revolution.
        runs.append(("varying speed", CANVAS_COLUMNS, varying(12, period * 1.06, 7), 5, "some"))
        runs.append(("fast motor", CANVAS_COLUMNS, steady(9, board.frame_us() * 0.7), 9, "some"))
    elif board.length_word:
        # Content that ends mid-canvas: the display runs from the first column to the
        # last one and starts again; past the end it stays dark.
        columns = 300
        runs.append(("300 columns, speed within 5 %", columns, varying(columns + 6, 30_000, 1), 1, "all"))
        runs.append(("edges next to column ticks", columns, near_ticks(board, 20), 4, "some"))
        runs.append(("empty content", 0, steady(6, 30_000), 2, "none"))
        runs.append(("whole canvas, slow motor", CANVAS_COLUMNS, steady(6, 140_000), 3, "some"))
    else:
        # A few revolutions at 1500 rpm, then fast ones to scroll through the canvas,
        # the speed varying within 5 % throughout, then a motor too slow for the
        # slot limit.
        edges = varying(6, 40_000, 1)
        edges += varying(CANVAS_COLUMNS + 4, 10_000, 2, edges[-1] + 10_000)
        runs.append(("whole canvas, speed within 5 %", CANVAS_COLUMNS, edges, 1, "all"))
        runs.append(("edges next to column ticks", CANVAS_COLUMNS, near_ticks(board, 40), 4, "some"))
        runs.append(("slow motor", CANVAS_COLUMNS, steady(3, 200_000), 3, "some"))
    failed = False
    for name, columns, edges, seed, expect in runs:
        try:
            revs, seen, delays = run(variant, columns, edges, seed, expect)
            spread = f", first column {min(delays):.0f}-{max(delays):.0f} us after the edge" if delays else ""
            print(f"board {variant}, {name}: {revs} revolutions, {seen} columns shown{spread}: ok")
        except (CheckFailed, povsim.WiringFault) as error:
            print(f"board {variant}, {name}: {error}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
