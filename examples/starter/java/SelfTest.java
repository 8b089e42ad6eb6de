import java.io.BufferedReader;
import java.io.FileReader;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;

/**
 * The bot's choice on each sample board against the answer samples/answers.txt
 * expects: javac -d . *.java && java -cp . SelfTest, in the bot's folder.
 */
public final class SelfTest {
    public static void main(String[] args) throws IOException {
        Path answers = Path.of("samples", "answers.txt");
        if (!Files.exists(answers)) {
            System.err.println("no samples/answers.txt: run it in the bot's folder");
            System.exit(2);
        }
        int boards = 0;
        int wrong = 0;
        for (String line : Files.readAllLines(answers)) {
            String[] fields = line.trim().split("\\s+");
            if (line.isBlank() || line.startsWith("#") || fields.length < 2) {
                continue;
            }
            Board board;
            try (BufferedReader in = new BufferedReader(new FileReader("samples/" + fields[0]))) {
                board = Board.read(in);
            }
            if (board == null) {
                System.err.println(fields[0] + ": not a board");
                System.exit(2);
            }
            ++boards;
            int chosen = Strategy.choose(board);
            int expected = Integer.parseInt(fields[1]);
            if (chosen != expected) {
                ++wrong;
                System.err.println(fields[0] + ": chose " + chosen + ", expected " + expected);
            }
        }
        System.out.println((boards - wrong) + " of " + boards + " sample boards answered as expected");
        System.exit(wrong == 0 && boards > 0 ? 0 : 1);
    }
}
