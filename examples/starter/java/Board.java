import java.io.BufferedReader;
import java.io.IOException;
import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.List;

/**
 * The game's rules, as a bot needs them: the board as vorla.in holds it
 * (the mover's home at the top-left, its opponent's at the bottom-right),
 * the colours the mover may play, and what a move gains.
 */
final class Board {
    static final int ROWS = 41;
    static final int COLUMNS = 45;

    private final int[] cells; // row by row, colours 1 to 6

    private Board(int[] cells) {
        this.cells = cells;
    }

    /** Reads 41 lines of 45 digits; null at the end of the input. */
    static Board read(BufferedReader in) throws IOException {
        int[] cells = new int[ROWS * COLUMNS];
        for (int row = 0; row < ROWS; ++row) {
            String line = in.readLine();
            if (line == null || line.length() < COLUMNS) {
                return null;
            }
            for (int column = 0; column < COLUMNS; ++column) {
                cells[row * COLUMNS + column] = line.charAt(column) - '0';
            }
        }
        return new Board(cells);
    }

    int own() {
        return cells[0];
    }

    int opponent() {
        return cells[cells.length - 1];
    }

    /** Every colour but the mover's and its opponent's. */
    List<Integer> legalColours() {
        List<Integer> colours = new ArrayList<>();
        for (int colour = 1; colour <= 6; ++colour) {
            if (colour != own() && colour != opponent()) {
                colours.add(colour);
            }
        }
        return colours;
    }

    /** The cells of the region around `start`: side neighbours, never diagonal ones. */
    List<Integer> regionOf(int start) {
        boolean[] seen = new boolean[cells.length];
        List<Integer> region = new ArrayList<>();
        ArrayDeque<Integer> pending = new ArrayDeque<>();
        pending.add(start);
        seen[start] = true;
        while (!pending.isEmpty()) {
            int cell = pending.poll();
            region.add(cell);
            int row = cell / COLUMNS;
            int column = cell % COLUMNS;
            int[][] neighbours = {{row > 0 ? 1 : 0, cell - COLUMNS}, {row < ROWS - 1 ? 1 : 0, cell + COLUMNS},
                                  {column > 0 ? 1 : 0, cell - 1}, {column < COLUMNS - 1 ? 1 : 0, cell + 1}};
            for (int[] near : neighbours) {
                if (near[0] == 1 && !seen[near[1]] && cells[near[1]] == cells[start]) {
                    seen[near[1]] = true;
                    pending.add(near[1]);
                }
            }
        }
        return region;
    }

    /** The board after the mover recolours its region to `colour`. */
    Board play(int colour) {
        int[] after = cells.clone();
        for (int cell : regionOf(0)) {
            after[cell] = colour;
        }
        return new Board(after);
    }
}
