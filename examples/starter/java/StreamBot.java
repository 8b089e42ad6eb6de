import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;

/** The starter bot as a stream bot: started once, a board in on standard input, a line out. */
public final class StreamBot {
    public static void main(String[] args) throws IOException {
        BufferedReader in = new BufferedReader(new InputStreamReader(System.in));
        // The input ends when the match is over.
        for (Board board = Board.read(in); board != null; board = Board.read(in)) {
            int colour = Strategy.choose(board);
            System.err.println("playing " + colour);
            System.out.println(colour);
            // An answer left in the buffer never arrives.
            System.out.flush();
        }
    }
}
