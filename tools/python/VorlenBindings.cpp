// import vorlen: the referee's own rules for bots written in Python, so that
// a bot looks ahead at the engine's speed and never guesses a rule.
#include "VorlenBindings.h"

#include "BitBoard.h"
#include "BoardText.h"
#include "Assessment.h"
#include "Greedy.h"
#include "Rules.h"
#include "SearchLevels.h"

#include <pybind11/stl.h>

#include <string>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace {

// A board as the player to move sees it: its region grows from the top-left
// cell, its opponent's from the bottom-right one. Held as bit planes: a move,
// the scores and the board turned cost a few hundred word operations, so a
// bot looks far ahead in Python.
class Board {
public:
    explicit Board(const std::string& text) : bits_(parsed(text)) {}

    std::string text() const { return vorlen::buildInput(bits_.field()); }
    std::vector<int> legal() const
    {
        std::vector<int> colours;
        for (int colour = 1; colour <= vorlen::kColourCount; ++colour)
            if (bits_.legal(0, colour))
                colours.push_back(colour);
        return colours;
    }

    Board play(int colour) const
    {
        if (!bits_.legal(0, colour))
            throw py::value_error("colour " + std::to_string(colour)
                                  + " is not legal here: the mover's own and its opponent's colours are not, "
                                    "nor anything outside 1 to 6");
        Board next = *this;
        next.bits_.play(0, colour);
        return next;
    }

    std::pair<int, int> scores() const
    {
        const vorlen::ScorePair score = bits_.scores();
        return {score.first, score.second};
    }

    Board flipped() const { return Board(bits_.turned()); }

    int colour(int row, int column) const
    {
        if (row < 0 || column < 0 || row >= vorlen::kBoardRows || column >= vorlen::kBoardColumns)
            throw py::index_error("no cell (" + std::to_string(row) + ", " + std::to_string(column) + ") on a "
                                  + std::to_string(vorlen::kBoardRows) + " x " + std::to_string(vorlen::kBoardColumns)
                                  + " board");
        return bits_.colourAt(row * vorlen::kBoardColumns + column);
    }

    int greedy() const { return vorlen::greedyColour(bits_, 0); }
    vorlen::Assessment assess(int level) const
    {
        if (!vorlen::isSearchLevel(level))
            throw py::value_error("no search level " + std::to_string(level) + ": the levels are 1 (the weakest) to "
                                  + std::to_string(vorlen::kSearchSeatLevels));
        return vorlen::assess(bits_, 0, level);
    }

    bool operator==(const Board& other) const { return bits_ == other.bits_; }

private:
    explicit Board(const vorlen::BitBoard& bits) : bits_(bits) {}
    static vorlen::BitBoard parsed(const std::string& text)
    {
        vorlen::Field field;
        if (const auto problem = vorlen::parseBoardText(text, field))
            throw py::value_error("not a board: " + *problem);
        return vorlen::BitBoard(field);
    }

    vorlen::BitBoard bits_;
};

// The board a method was called on. Python can make an object of the class
// without building it (Board.__new__(Board)), and anything can be passed
// where a board is wanted: neither is ever read, but refused.
const Board& built(py::handle object)
{
    if (!py::isinstance<Board>(object))
        throw py::type_error("not a vorlen.Board: make one with vorlen.Board(text)");
    auto* instance = reinterpret_cast<py::detail::instance*>(object.ptr());
    py::detail::value_and_holder board = instance->get_value_and_holder(py::detail::get_type_info(typeid(Board)));
    if (!board || !board.holder_constructed() || !board.value_ptr())
        throw py::type_error("a vorlen.Board that was never built: make one with vorlen.Board(text)");
    return *board.value_ptr<Board>();
}

// A method of the board, called on a board that was built.
template <typename Result, typename... Args>
auto onBuilt(Result (Board::*method)(Args...) const)
{
    return [method](py::handle board, Args... args) { return (built(board).*method)(args...); };
}

} // namespace

void defineVorlen(py::module_& module)
{
    module.doc() = "The vorlen referee's rules: boards as vorla.in holds them, legal colours, moves and scores.";
    module.attr("ROWS") = vorlen::kBoardRows;
    module.attr("COLUMNS") = vorlen::kBoardColumns;
    module.attr("COLOURS") = vorlen::kColourCount;
    module.attr("__version__") = VORLEN_VERSION;

    py::class_<Board>(module, "Board", "A board as the player to move sees it: its region at the top-left.")
        .def(py::init<const std::string&>(), py::arg("text"),
             "A board from the text of vorla.in: 41 lines of 45 digits from 1 to 6 (ValueError otherwise).")
        .def("legal", onBuilt(&Board::legal), "The colours the mover may play, lowest first.")
        .def("play", onBuilt(&Board::play), py::arg("colour"),
             "The board after the mover plays this colour, still as the mover sees it (ValueError if not legal).")
        .def("scores", onBuilt(&Board::scores),
             "The mover's and the opponent's region sizes, as the referee counts them.")
        .def("flipped", onBuilt(&Board::flipped), "The board as the opponent sees it: turned by 180 degrees.")
        .def("colour", onBuilt(&Board::colour), py::arg("row"), py::arg("column"),
             "The colour of a cell; row 0 is the top.")
        .def("__str__", onBuilt(&Board::text))
        .def("__repr__", [](py::handle board) {
            const auto [mover, opponent] = built(board).scores();
            return "<vorlen.Board mover " + std::to_string(mover) + ", opponent " + std::to_string(opponent) + ">";
        })
        .def("__eq__", [](py::handle board, py::handle other) -> py::object {
            if (!py::isinstance<Board>(other))
                return py::reinterpret_borrow<py::object>(Py_NotImplemented);
            return py::bool_(built(board) == built(other));
        })
        .def("__hash__", [](py::handle board) { return py::hash(py::str(built(board).text())); });

    module.def("greedy", onBuilt(&Board::greedy), py::arg("board"),
               "The built-in player's choice: the legal colour that gains the most cells now, the lowest on a tie.");
    module.def(
        "search", [](py::handle board, int level) { return built(board).assess(level).colour; }, py::arg("board"),
        py::arg("level"),
        "The move of the built-in search player of this level (1, the weakest, to 5), as search:LEVEL plays it: the "
        "same board always gets the same move (ValueError for another level).");
    module.def(
        "evaluate",
        [](py::handle board, int level) {
            const vorlen::Assessment seen = built(board).assess(level);
            return py::make_tuple(seen.colour, seen.lead, seen.decided);
        },
        py::arg("board"), py::arg("level"),
        "How the search player of this level sees the board: (its move, the mover's lead in cells as it weighs "
        "them, 1 if the mover wins however the other plays as far as it looks, -1 if it loses, else 0).");
}
