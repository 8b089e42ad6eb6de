#!/usr/bin/env python3
"""The starter bot as a stream bot: started once for the match. Each board
comes on standard input as vorla.in holds it (41 lines); the answer is one
line on standard output, flushed. The input ends when the match is over.

    vorlen-match --first "stream:python3 bots/python/stream_main.py"
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import strategy  # noqa: E402  (first: it says what to do where vorlen is missing)
import vorlen  # noqa: E402

while True:
    rows = [sys.stdin.readline() for _ in range(vorlen.ROWS)]
    if not rows[-1]:
        break  # the match is over
    board = vorlen.Board("".join(rows))
    colour = strategy.choose(board)
    print(f"scores {board.scores()}, playing {colour}", file=sys.stderr)
    # Unflushed, the answer would wait in Python's buffer until the time runs out.
    print(colour, flush=True)
