#!/usr/bin/env python3
"""How much faster a Python bot looks ahead with `import vorlen` than with a
flood fill of its own: board.play(c).scores() against plain-Python floods
of the same move and count, on the same positions: as most bots write it
(rows of colours, a queue of cells) and a leaner one (a flat list, a set).
Goal: at least 50 times.

Usage: python_module.py MODULE_DIR   (the folder holding vorlen*.so)
"""
import random
from collections import deque
import sys
import timeit

sys.path.insert(0, sys.argv[1])
import vorlen  # noqa: E402

ROWS, COLUMNS = vorlen.ROWS, vorlen.COLUMNS


def region(cells, start):
    """The cells of start's region, by a plain stack flood."""
    colour = cells[start]
    seen = {start}
    stack = [start]
    while stack:
        cell = stack.pop()
        row, column = divmod(cell, COLUMNS)
        for near, inside in ((cell - COLUMNS, row > 0), (cell + COLUMNS, row < ROWS - 1),
                             (cell - 1, column > 0), (cell + 1, column < COLUMNS - 1)):
            if inside and near not in seen and cells[near] == colour:
                seen.add(near)
                stack.append(near)
    return seen


def plain_play_scores(cells, colour):
    """What a bot without the module writes: the move, then both scores."""
    after = list(cells)
    for cell in region(cells, 0):
        after[cell] = colour
    mover = region(after, 0)
    last = ROWS * COLUMNS - 1
    opponent = 0 if last in mover else len(region(after, last))
    return len(mover), opponent


def rows_region(rows, row, column):
    """The same as most bots write it: rows of colours, a queue of (row, column)."""
    colour = rows[row][column]
    seen = [[False] * COLUMNS for _ in range(ROWS)]
    seen[row][column] = True
    queue = deque([(row, column)])
    cells = []
    while queue:
        r, c = queue.popleft()
        cells.append((r, c))
        for nr, nc in ((r - 1, c), (r + 1, c), (r, c - 1), (r, c + 1)):
            if 0 <= nr < ROWS and 0 <= nc < COLUMNS and not seen[nr][nc] and rows[nr][nc] == colour:
                seen[nr][nc] = True
                queue.append((nr, nc))
    return cells


def rows_play_scores(rows, colour):
    after = [list(line) for line in rows]
    for r, c in rows_region(rows, 0, 0):
        after[r][c] = colour
    mover = rows_region(after, 0, 0)
    opponent = 0 if (ROWS - 1, COLUMNS - 1) in mover else len(rows_region(after, ROWS - 1, COLUMNS - 1))
    return len(mover), opponent


def main():
    # Every position of a few matches of the built-in player against itself,
    # from the first move to the last: a bot looks ahead at every stage.
    rng = random.Random(7)
    boards = []
    for _ in range(4):
        text = "".join("".join(rng.choice("123456") for _ in range(COLUMNS)) + "\n" for _ in range(ROWS))
        board = vorlen.Board(text)
        while sum(board.scores()) < ROWS * COLUMNS and len(boards) < 400:
            boards.append((board, [int(ch) for ch in str(board) if ch != "\n"], vorlen.greedy(board)))
            board = board.play(vorlen.greedy(board)).flipped()
    rows = [[cells[r * COLUMNS:(r + 1) * COLUMNS] for r in range(ROWS)] for _, cells, _ in boards]
    for (board, cells, colour), grid in zip(boards, rows):
        assert board.play(colour).scores() == plain_play_scores(cells, colour) == rows_play_scores(grid, colour)

    module = min(timeit.repeat(lambda: [b.play(c).scores() for b, _, c in boards], number=5, repeat=5))
    plain = min(timeit.repeat(lambda: [plain_play_scores(cells, c) for _, cells, c in boards], number=5, repeat=5))
    listed = min(timeit.repeat(lambda: [rows_play_scores(g, b[2]) for b, g in zip(boards, rows)], number=5, repeat=5))
    moves = 5 * len(boards)
    print(f"{len(boards)} positions from the first move to the last")
    print(f"board.play(c).scores():              {module / moves * 1e6:7.1f} us a move")
    print(f"plain Python, rows and a queue:      {listed / moves * 1e6:7.1f} us a move, "
          f"{listed / module:.0f} x the module's time (goal: at least 50 x)")
    print(f"plain Python, a flat list and a set: {plain / moves * 1e6:7.1f} us a move, "
          f"{plain / module:.0f} x the module's time")


if __name__ == "__main__":
    main()
