#!/usr/bin/python3
"""Checks the spinning preview's model of each board firmware against the firmware itself:

    test_preview_model.py TAVRIN_CLI VARIANT

`tavrin-cli preview --columns` prints the columns the model lights in each revolution.
Those must be, column for column and in time, what the s51 simulation of the exported
HEX shows with the motor at a steady speed (short runs, decoded as test_simulation.py
decodes them), and, over long runs that reach the places where a window wraps round,
what the schedule of firmware/README.md (schedule.py, itself checked against the
simulator) gives.
"""

import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import povsim  # noqa: E402
import schedule  # noqa: E402
import test_simulation  # noqa: E402

FIRST_EDGE_US = 60_000
TOLERANCE_US = 12  # the sensor is polled: a column may light a few microseconds off


class Mismatch(Exception):
    pass


def model(cli, variant, code_columns, period_us, first, count):
    """{revolution: [(start us after its edge, lit us, column)]} from the command line."""
    with tempfile.TemporaryDirectory(prefix="preview-") as tmp:
        code_path = os.path.join(tmp, "code.txt")
        with open(code_path, "w", encoding="ascii") as f:
            f.write(povsim.content_code(code_columns))
        output = subprocess.run(
            [cli, "preview", "--variant", str(variant), "--code", code_path, "--rpm", repr(60e6 / period_us),
             "--revolution", str(first), "--count", str(count), "--columns"],
            check=True, capture_output=True, text=True, timeout=120,
        ).stdout
    revolutions = {}
    for line in output.splitlines():
        head, _, rest = line.partition(":")
        columns = []
        for item in rest.split():
            times, _, column = item.partition(":")
            start, _, lit = times.partition("+")
            columns.append((float(start), float(lit), int(column)))
        revolutions[int(head)] = columns
    if sorted(revolutions) != list(range(first, first + count)):
        raise Mismatch(f"the model printed revolutions {sorted(revolutions)[:5]}…, not {first}…{first + count - 1}")
    return revolutions


def against_simulation(cli, variant, code_columns, period_us, revolutions, seed):
    """The model's columns against the simulated board's for the first revolutions."""
    edges = [FIRST_EDGE_US + period_us * k for k in range(revolutions + 1)]
    trace = povsim.simulate(variant, povsim.content_code(code_columns), edges, edges[-1] + 1_000, seed)
    bound = edges[-1]
    shown = [s for s in test_simulation.decode(povsim.shows(trace, povsim.WIRING[variant]), code_columns)
             if s[0] < bound - TOLERANCE_US]
    expected = []
    for k, columns in model(cli, variant, code_columns, period_us, 0, revolutions).items():
        expected += [(edges[k] + start, lit, column) for start, lit, column in columns]
    expected = [e for e in sorted(expected) if e[0] < bound - TOLERANCE_US]
    for i, (start, lit, column) in enumerate(expected):
        where = f"{period_us} us a revolution, column {i} of the run ({start - FIRST_EDGE_US:.0f} us after the first edge)"
        if i >= len(shown):
            raise Mismatch(f"{where}: the model lights column {column}, the board nothing more")
        seen_start, seen_end, seen_column = shown[i]
        if seen_column != column or abs(seen_start - start) > TOLERANCE_US:
            raise Mismatch(f"{where}: the model lights column {column} at {start - FIRST_EDGE_US:.0f} us, "
                           f"the board column {seen_column} at {seen_start - FIRST_EDGE_US:.0f} us")
        if abs(seen_end - seen_start - lit) > TOLERANCE_US and seen_end < trace.end - 1:
            raise Mismatch(f"{where}: the model lights column {column} for {lit:.0f} us, "
                           f"the board for {seen_end - seen_start:.0f} us")
    if len(shown) > len(expected):
        raise Mismatch(f"{period_us} us a revolution: the board shows {len(shown) - len(expected)} columns more, "
                       f"the first column {shown[len(expected)][2]}")
    return len(expected)


def against_schedule(cli, variant, code_columns, period_us, first, count):
    """The model's columns against schedule.py for revolutions first … first + count - 1."""
    edges = [period_us * k for k in range(first + count + 1)]
    wanted = {r.edge: r.columns for r in schedule.schedule(variant, edges, code_columns, edges[-1] + 1e9)}
    for k, columns in model(cli, variant, code_columns, period_us, first, count).items():
        expected = [(round(t - edges[k], 3), c) for t, c in wanted.get(k, [])]
        got = [(round(start, 3), column) for start, _, column in columns]
        if got != expected:
            raise Mismatch(f"revolution {k} at {period_us} us a revolution: the model shows "
                           f"{got[:4]}… ({len(got)} columns), the schedule {expected[:4]}… ({len(expected)})")
    return count


def checks(variant):
    """(kind, content columns, period us, revolutions or (first, count), seed) for a board."""
    board = schedule.BOARDS[variant]
    canvas = schedule.CANVAS_COLUMNS
    if isinstance(board, schedule.Window):
        slow = board.frame_us() + 2_750
        # Beyond the busy time the board shows every other revolution.
        fast = board.frame_us() * 0.7
        wrap = (board.last_start + 1 - board.start) * board.step_revolutions
        return [
            ("simulation", canvas, slow, 6, 3),
            ("simulation", canvas, round(fast), 7, 4),
            ("schedule", canvas, slow, (wrap - 10, 30), None),
            ("schedule", canvas, fast, (2 * wrap - 12, 30), None),
        ]
    if board.length_word:
        # Content shorter than a revolution: the window runs past its end (dark) and starts again.
        return [
            ("simulation", 5, 52_250, 7, 1),
            ("simulation", 300, 20_250, 4, 2),
            ("schedule", 300, 52_250, (290, 20), None),
            ("schedule", 300, 140_000, (598, 5), None),
        ]
    # 1148 rpm, then a motor too slow for the slot limit.
    return [
        ("simulation", canvas, 52_375, 5, 1),
        ("simulation", canvas, 160_100, 2, 2),
        ("schedule", canvas, 52_375, (canvas - 10, 20), None),
        ("schedule", canvas, 10_125, (3 * canvas - 3, 6), None),
    ]


def main(argv):
    cli, variant = argv[1], int(argv[2])
    failed = False
    for kind, columns, period, revolutions, seed in checks(variant):
        name = f"board {variant}, {kind}, {columns} columns, {period:.0f} us a revolution"
        try:
            if kind == "simulation":
                compared = against_simulation(cli, variant, columns, period, revolutions, seed)
                print(f"{name}: {compared} columns in {revolutions} revolutions as simulated: ok")
            else:
                against_schedule(cli, variant, columns, period, *revolutions)
                print(f"{name}: revolutions {revolutions[0]}…{sum(revolutions) - 1} as scheduled: ok")
        except Mismatch as error:
            print(f"{name}: {error}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
