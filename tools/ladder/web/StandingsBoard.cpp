#include "StandingsBoard.h"

#include "LadderStandings.h"
#include "StandingRows.h"
#include "StandingsView.h"

#include <map>

namespace vorlen::ladder {

StandingsView computeStandingsView(LadderStore& store, std::size_t top)
{
    StandingsView view;
    view.state = store.standingsState();
    const std::optional<LadderField> field = ladderField(store, top);
    if (!field) {
        view.empty = "No bot has a version ready to play yet.";
        return view;
    }
    if (field->tally.matches() == 0) {
        view.empty = "No matches between the current versions yet.";
        return view;
    }
    std::map<std::string, std::string> bots, owners;
    for (const VersionRow& version : field->current)
        bots[versionName(version)] = version.bot;
    for (const BotRow& bot : store.bots())
        owners[bot.name] = bot.owner.empty() ? "organisers" : bot.owner;
    const std::vector<match::StandingRow> rows = match::standingRows(field->tally, field->facts);
    view.rows = match::indexStandings(rows);
    for (IndexStanding& row : view.rows) {
        const std::string& bot = bots[row.name];
        row.page = "/bots/" + bot;
        row.owner = owners[bot];
        row.command.clear(); // how a bot runs is its owner's to see
    }
    view.cross = match::crossCells(match::crossResults(field->tally, rows, top));
    view.note = match::standingsNote(field->tally, field->facts);
    return view;
}

StandingsBoard::StandingsBoard(std::function<std::unique_ptr<LadderStore>()> open, std::size_t top,
                               std::chrono::milliseconds interval)
    : open_(std::move(open))
    , top_(top)
    , interval_(interval)
{
    const std::unique_ptr<LadderStore> store = open_();
    view_ = std::make_shared<const StandingsView>(computeStandingsView(*store, top_));
    thread_ = std::thread([this] { keepCurrent(); });
}

StandingsBoard::~StandingsBoard()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    thread_.join();
}

std::shared_ptr<const StandingsView> StandingsBoard::view() const
{
    const std::lock_guard lock(mutex_);
    return view_;
}

void StandingsBoard::keepCurrent()
{
    std::unique_ptr<LadderStore> store;
    std::unique_lock lock(mutex_);
    while (!stop_.wait_for(lock, interval_, [this] { return stopping_; })) {
        const std::string shown = view_->state;
        lock.unlock();
        try {
            if (!store)
                store = open_();
            if (store->standingsState() != shown) {
                auto fresh = std::make_shared<const StandingsView>(computeStandingsView(*store, top_));
                lock.lock();
                view_ = std::move(fresh);
                continue;
            }
        } catch (const std::exception&) {
            store.reset(); // a lost connection: opened again next time
        }
        lock.lock();
    }
}

} // namespace vorlen::ladder
