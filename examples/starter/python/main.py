#!/usr/bin/env python3
"""The starter bot as a file bot: started for every move, in its seat's
folder, where it reads vorla.in and writes vorla.out.

    vorlen-match --first "python3 bots/python/main.py"

Its own files (strategy.py beside it) are found from its own path: the
working directory is the seat's folder, not this one.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import strategy  # noqa: E402  (first: it says what to do where vorlen is missing)
import vorlen  # noqa: E402

with open("vorla.in") as board_file:
    board = vorlen.Board(board_file.read())
colour = strategy.choose(board)
# Standard error is the bot's log: the window and the replays show it.
print(f"legal {board.legal()}, scores {board.scores()}, playing {colour}", file=sys.stderr)
with open("vorla.out", "w") as answer:
    answer.write(f"{colour}\n")
