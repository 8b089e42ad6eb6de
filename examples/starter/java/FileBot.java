import java.io.BufferedReader;
import java.io.FileReader;
import java.io.IOException;
import java.io.PrintWriter;

/** The starter bot as a file bot: started for every move, it reads vorla.in and writes vorla.out. */
public final class FileBot {
    public static void main(String[] args) throws IOException {
        Board board;
        try (BufferedReader in = new BufferedReader(new FileReader("vorla.in"))) {
            board = Board.read(in);
        }
        if (board == null) {
            System.err.println("vorla.in is not a board");
            System.exit(1);
        }
        int colour = Strategy.choose(board);
        // Standard error is the bot's log: the window and the replays show it.
        System.err.println("own " + board.own() + ", opponent " + board.opponent() + ", playing " + colour);
        try (PrintWriter out = new PrintWriter("vorla.out")) {
            out.println(colour);
        }
    }
}
