"""What each board firmware shows, revolution by revolution: the column schedule
firmware/README.md describes, as a model the simulator runs are checked against.

Times are in microseconds, columns are canvas columns (0 = left edge).  A board
is either a window board (0 and 1: a fixed number of columns after each edge it
takes, ignoring edges that come while it shows them) or a slot board (2, 3, 22
and 33: one column per slot from a fixed time after every edge until the next
edge or the slot limit).
"""

from dataclasses import dataclass

CANVAS_COLUMNS = 2048


@dataclass(frozen=True)
class Window:
    direction: int  # +1: left column first; -1: right column first
    columns: int  # columns per revolution
    first_us: float  # sensor edge to the first column
    column_us: float  # column to column, each lit all that time
    start: int  # left column of the window after the first edge
    step_revolutions: int  # shown revolutions per one-column step
    rest_us: float  # after the last column, until an edge can be taken again

    @property
    def last_start(self):
        return CANVAS_COLUMNS - self.columns

    def frame_us(self):
        return self.first_us + self.columns * self.column_us + self.rest_us


@dataclass(frozen=True)
class Slots:
    first_us: float  # sensor edge to the first column
    column_us: float  # slot length
    lit_us: float  # how long a column is lit
    limit: int  # most slots per revolution, the motor taken as stopped after them
    length_word: bool  # the content ends where the length word says; else the whole canvas, as a loop


BOARDS = {
    0: Window(direction=-1, columns=108, first_us=92, column_us=205, start=58, step_revolutions=1, rest_us=8),
    1: Window(direction=1, columns=108, first_us=38, column_us=165, start=64, step_revolutions=4, rest_us=8),
    2: Slots(first_us=500, column_us=500, lit_us=400, limit=256, length_word=True),
    22: Slots(first_us=500, column_us=250, lit_us=200, limit=608, length_word=False),
    33: Slots(first_us=2250, column_us=250, lit_us=200, limit=608, length_word=False),
}
BOARDS[3] = BOARDS[2]


@dataclass
class Revolution:
    edge: int  # index of the sensor edge that started it
    columns: list  # [(time us, column)] in the order shown


def window_start(board, shown):
    """Left column of the window in the shown-th revolution the board shows (0 = first)."""
    return (board.start + shown // board.step_revolutions) % (board.last_start + 1)


def content_columns(board, columns):
    """Columns a slot board shows: for boards 2 and 3 the length word gives them
    (the export writes the content's byte count + 16 there, so that is the
    content's columns); boards 22 and 33 show the whole canvas."""
    return columns if board.length_word else CANVAS_COLUMNS


def schedule(variant, edges, columns, end, overrun_us=0):
    """The revolutions shown for falling sensor edges at the given times, up to end;
    columns is the number of content columns the export wrote.  With overrun_us a
    slot board's revolution also lists the columns due up to that long after the
    next edge (which the board does not show)."""
    board = BOARDS[variant]
    result = []
    if isinstance(board, Window):
        ready = None
        for index, edge in enumerate(edges):
            if ready is not None and edge < ready:
                continue  # the board is still showing the last revolution
            left = window_start(board, len(result))
            order = range(board.columns) if board.direction > 0 else range(board.columns - 1, -1, -1)
            shown = [(edge + board.first_us + i * board.column_us, left + c) for i, c in enumerate(order)]
            result.append(Revolution(index, [(t, c) for t, c in shown if t < end]))
            ready = edge + board.frame_us()
        return result
    count = content_columns(board, columns)
    for index, edge in enumerate(edges):
        following = edges[index + 1] if index + 1 < len(edges) else end
        shown = []
        if count:
            first = index % count
            for slot in range(board.limit):
                t = edge + board.first_us + slot * board.column_us
                if t >= following + overrun_us:
                    break
                column = first + slot
                if board.length_word and column >= count:
                    continue  # past the end of content: a dark slot
                shown.append((t, column % count))
        result.append(Revolution(index, shown))
    return result


def steady(variant, rpm, revolutions, columns=CANVAS_COLUMNS):
    """The content columns each sensor revolution shows with the motor at a steady
    speed: a list with one entry per revolution, empty where a window board is
    still busy with the one before."""
    period = 60e6 / rpm
    edges = [period * k for k in range(revolutions + 1)]
    shown = {r.edge: [c for _, c in r.columns] for r in schedule(variant, edges, columns, edges[-1])}
    return [shown.get(k, []) for k in range(revolutions)]
