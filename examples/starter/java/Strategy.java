/** How the starter bot chooses: make this file yours. */
final class Strategy {
    private Strategy() {}

    /** The legal colour that makes the mover's region largest now; the lowest on a tie. */
    static int choose(Board board) {
        int best = 0;
        int bestSize = -1;
        for (int colour : board.legalColours()) {
            int size = board.play(colour).regionOf(0).size();
            if (size > bestSize) {
                best = colour;
                bestSize = size;
            }
        }
        return best;
    }
}
