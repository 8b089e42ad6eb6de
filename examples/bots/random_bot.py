#!/usr/bin/env python3
"""A legal random colour: the smallest useful vorlen bot.

The referee writes the board to vorla.in, seen from your side: your home is
the first digit of the first line, your opponent's the last digit of the last
line. Answer with one colour in vorla.out.
"""
import random

with open("vorla.in") as board_file:
    rows = [line.strip() for line in board_file if line.strip()]

own = rows[0][0]
opponent = rows[-1][-1]
allowed = [colour for colour in "123456" if colour not in (own, opponent)]

random.seed("".join(rows))  # the same board, the same answer

with open("vorla.out", "w") as answer:
    answer.write(random.choice(allowed) + "\n")
