"""python3 -m unittest, in the bot's folder: its choice on each sample board
against the answer samples/answers.txt expects."""
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import strategy  # noqa: E402


def samples():
    with open(os.path.join(HERE, "samples", "answers.txt")) as answers:
        for line in answers:
            fields = line.split()
            if len(fields) >= 2 and not line.startswith("#"):
                yield fields[0], int(fields[1])


class SampleBoards(unittest.TestCase):
    def test_each_sample_board_is_answered_as_expected(self):
        boards = list(samples())
        self.assertTrue(boards, "samples/answers.txt names no board")
        for name, expected in boards:
            with self.subTest(board=name), open(os.path.join(HERE, "samples", name)) as board_file:
                board = strategy.vorlen.Board(board_file.read())
                self.assertEqual(strategy.choose(board), expected)


if __name__ == "__main__":
    unittest.main()
