/** How the starter bot chooses: make this file yours. */
final class Strategy {
    private Strategy() {}

    /**
     * The legal colour that leaves the most within reach: the mover's region after the move, plus what each
     * colour it may play next would add to it. The lowest colour on a tie.
     */
    static int choose(Board board) {
        int best = 0;
        int bestReach = -1;
        for (int colour : board.legalColours()) {
            int reach = withinReach(board.play(colour));
            if (reach > bestReach) {
                best = colour;
                bestReach = reach;
            }
        }
        return best;
    }

    /** The region after a move, and the cells each next move could add. */
    static int withinReach(Board board) {
        int region = board.regionOf(0).size();
        int reach = region;
        for (int next : board.legalColours()) {
            reach += board.play(next).regionOf(0).size() - region;
        }
        return reach;
    }
}
