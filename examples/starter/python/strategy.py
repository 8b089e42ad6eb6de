"""The thinking of the starter bot: a one-ply rule that counts what is within reach.

The module `vorlen` is the referee's own engine: vorlen.Board reads the board
as vorla.in holds it, and board.play(colour) and board.scores() are exactly
what the referee does and counts. Change choose() to make the bot yours.
"""
import sys

try:
    import vorlen
except ModuleNotFoundError:
    # The bot's log says what to do, and the move fails with it.
    sys.exit("No module named 'vorlen': install vorlen's package (it puts the module where the "
             "system's python3 finds it), or from a build: "
             "sudo cmake --install build --component python --prefix /usr")


def within_reach(board):
    """The mover's region, and the cells each colour it may play next would add."""
    region = board.scores()[0]
    return region + sum(board.play(colour).scores()[0] - region for colour in board.legal())


def choose(board):
    """The colour that leaves the most within reach after it; the lowest on a tie."""
    best_colour, best_reach = None, None
    for colour in board.legal():
        reach = within_reach(board.play(colour))
        if best_reach is None or reach > best_reach:
            best_colour, best_reach = colour, reach
    return best_colour
