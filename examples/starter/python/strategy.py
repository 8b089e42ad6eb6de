"""The thinking of the starter bot: a two-ply search on the referee's rules.

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


def margin(board):
    """How far the player to move leads: its region less its opponent's."""
    mine, theirs = board.scores()
    return mine - theirs


def choose(board):
    """The colour whose worst reply leaves us best off; the lowest on a tie."""
    best_colour, best_value = None, None
    for colour in board.legal():
        after = board.play(colour)
        # The opponent moves next: it sees the board from its side.
        replies = after.flipped()
        worst = min((-margin(replies.play(reply)) for reply in replies.legal()), default=margin(after))
        if best_value is None or worst > best_value:
            best_colour, best_value = colour, worst
    return best_colour
