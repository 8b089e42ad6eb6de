#include "NewMatchDialog.h"

#include "MoveTime.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

using Seat = NewMatchChoices::Seat;
using Board = NewMatchChoices::Board;

// Upper bound of the game number: the largest the window's options take.
constexpr int kLastGame = 100'000'000;

QPushButton* browseButton(QWidget* parent, QLineEdit* into, const QString& title, const QString& filter)
{
    auto* button = new QPushButton(QString::fromUtf8("Browse\u2026"), parent);
    QObject::connect(button, &QPushButton::clicked, parent, [parent, into, title, filter] {
        const QString path = QFileDialog::getOpenFileName(parent, title, into->text(), filter);
        if (!path.isEmpty())
            into->setText(path);
    });
    return button;
}

} // namespace

NewMatchDialog::NewMatchDialog(const NewMatchChoices& start, const std::string& workingDir, QWidget* parent,
                               std::optional<NewMatchChoices> rematch)
    : QDialog(parent), workingDir_(workingDir), rematch_(std::move(rematch))
{
    setWindowTitle("New match");
    auto* form = new QFormLayout();
    form->addRow("First seat (top left, moves first):", seatRow(seats_[0], start.seats[0]));
    form->addRow("Second seat (bottom right):", seatRow(seats_[1], start.seats[1]));
    form->addRow("Board:", boardRows(start));

    sandbox_ = new QCheckBox("Run programs in a box of their own (bubblewrap)", this);
    sandbox_->setChecked(start.sandbox);
    form->addRow("Sandbox:", sandbox_);

    moveTime_ = new QSpinBox(this);
    moveTime_->setRange(1, static_cast<int>(vorlen::kLongestMoveLimit.count()));
    moveTime_->setSuffix(" ms");
    moveTime_->setValue(start.moveTimeMs);
    noTimeLimit_ = new QCheckBox("No limit (to debug a bot)", this);
    noTimeLimit_->setChecked(start.noTimeLimit);
    auto* time = new QHBoxLayout();
    time->addWidget(moveTime_);
    time->addWidget(noTimeLimit_);
    form->addRow("A program's time for a move:", time);

    problem_ = new QLabel(this);
    problem_->setObjectName("problem");
    problem_->setWordWrap(true);
    problem_->setStyleSheet("color: #b00000");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &NewMatchDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NewMatchDialog::reject);
    // The match on show again, seats swapped, on its board.
    QPushButton* again = buttons->addButton("Rematch", QDialogButtonBox::ActionRole);
    again->setObjectName("rematch");
    again->setEnabled(rematch_.has_value());
    again->setToolTip(rematch_ ? "the match on show again: seats swapped, same board"
                               : "only a match on a seeded board or a whole map can be played again");
    connect(again, &QPushButton::clicked, this, [this] {
        rematch_->sandbox = sandbox_->isChecked();
        rematch_->moveTimeMs = moveTime_->value();
        rematch_->noTimeLimit = noTimeLimit_->isChecked();
        const std::string problem = newMatchProblem(*rematch_, workingDir_);
        problem_->setText(QString::fromLocal8Bit(problem));
        if (!problem.empty())
            return;
        rematched_ = true;
        QDialog::accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(buttons);

    connect(noTimeLimit_, &QCheckBox::toggled, this, &NewMatchDialog::showApplicable);
    showApplicable();
}

QWidget* NewMatchDialog::seatRow(SeatRow& row, const Seat& seat)
{
    auto* box = new QWidget(this);
    row.kind = new QComboBox(box);
    row.kind->addItems({"Built-in player", "Person", "Program (started every move)", "Stream bot (stays up)",
                        "Search player (looks ahead)"});
    row.kind->setCurrentIndex(static_cast<int>(seat.kind));
    row.level = new QSpinBox(box);
    row.level->setRange(1, vorlen::kSearchSeatLevels);
    row.level->setPrefix("level ");
    row.level->setValue(seat.level);
    row.level->setToolTip(QString("search:1 is the weakest, search:%1 the strongest").arg(vorlen::kSearchSeatLevels));
    row.command = new QLineEdit(seat.command, box);
    row.command->setPlaceholderText("command line");
    row.browse = browseButton(this, row.command, "Choose a program", "All files (*)");
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(row.kind);
    layout->addWidget(row.level);
    layout->addWidget(row.command, 1);
    layout->addWidget(row.browse);
    connect(row.kind, &QComboBox::currentIndexChanged, this, &NewMatchDialog::showApplicable);
    return box;
}

QWidget* NewMatchDialog::boardRows(const NewMatchChoices& start)
{
    auto* box = new QWidget(this);
    board_ = new QComboBox(box);
    board_->addItems({"Random", "Seed and game", "Map file", "Board list"});
    board_->setCurrentIndex(static_cast<int>(start.board));
    seed_ = new QLineEdit(QString::number(start.seed), box);
    seed_->setPlaceholderText("seed");
    game_ = new QSpinBox(box);
    game_->setRange(0, kLastGame);
    game_->setPrefix("game ");
    game_->setValue(start.game);
    game_->setObjectName("game");
    seed_->setObjectName("seed");
    path_ = new QLineEdit(start.path, box);
    path_->setPlaceholderText("file");
    browsePath_ = browseButton(this, path_, "Choose a map or a board list", "Text files (*.txt);;All files (*)");
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : std::initializer_list<QWidget*>{board_, seed_, game_, path_, browsePath_})
        layout->addWidget(widget);
    connect(board_, &QComboBox::currentIndexChanged, this, &NewMatchDialog::showApplicable);
    return box;
}

void NewMatchDialog::showApplicable()
{
    for (SeatRow& row : seats_) {
        const auto kind = static_cast<Seat::Kind>(row.kind->currentIndex());
        const bool program = vorlen::SeatPlayer::programKind(kind);
        row.command->setEnabled(program);
        row.browse->setEnabled(program);
        row.level->setVisible(kind == Seat::Kind::Search);
        row.command->setVisible(kind != Seat::Kind::Search);
        row.browse->setVisible(kind != Seat::Kind::Search);
    }
    const auto board = static_cast<Board>(board_->currentIndex());
    seed_->setEnabled(board == Board::Seeded);
    game_->setEnabled(board == Board::Seeded || board == Board::List);
    path_->setEnabled(board == Board::Map || board == Board::List);
    browsePath_->setEnabled(path_->isEnabled());
    moveTime_->setEnabled(!noTimeLimit_->isChecked());
}

NewMatchChoices NewMatchDialog::choices() const
{
    if (rematched_)
        return *rematch_;
    NewMatchChoices choices;
    for (std::size_t seat = 0; seat < 2; ++seat) {
        choices.seats[seat].kind = static_cast<Seat::Kind>(seats_[seat].kind->currentIndex());
        choices.seats[seat].command = seats_[seat].command->text();
        choices.seats[seat].level = seats_[seat].level->value();
    }
    choices.board = static_cast<Board>(board_->currentIndex());
    choices.seed = seed_->text().trimmed().toULongLong();
    choices.game = game_->value();
    choices.path = path_->text().trimmed();
    choices.sandbox = sandbox_->isChecked();
    choices.moveTimeMs = moveTime_->value();
    choices.noTimeLimit = noTimeLimit_->isChecked();
    return choices;
}

QString NewMatchDialog::problem() const { return problem_->text(); }

void NewMatchDialog::accept()
{
    const NewMatchChoices chosen = choices();
    bool seedOk = true;
    seed_->text().trimmed().toULongLong(&seedOk);
    std::string problem = chosen.board == Board::Seeded && !seedOk ? "the seed must be a whole number from 0" : "";
    if (problem.empty())
        problem = newMatchProblem(chosen, workingDir_);
    problem_->setText(QString::fromLocal8Bit(problem));
    if (problem.empty())
        QDialog::accept();
}
