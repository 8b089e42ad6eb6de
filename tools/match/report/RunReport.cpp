#include "RunReport.h"
#include "RecordText.h"

#include "Files.h"
#include "MatchPage.h"
#include "ReplayFile.h"
#include "RunIndex.h"

#include <charconv>
#include <filesystem>
#include <set>

namespace vorlen::match {
namespace {

namespace fs = std::filesystem;

MatchPageSettings pageSettings(int game, const std::array<std::string, 2>& names)
{
    MatchPageSettings settings;
    settings.title = "game " + std::to_string(game);
    settings.backTo = "index.html";
    settings.names = names;
    return settings;
}

// The pages already in a report folder, by game.
std::map<int, std::string> pagesIn(const std::string& dir)
{
    std::map<int, std::string> pages;
    std::error_code problem;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, problem)) {
        const std::string name = entry.path().filename().string();
        const int game = gameOfName(name);
        if (game >= 0 && name.size() > 5 && name.substr(name.size() - 5) == ".html")
            pages.emplace(game, name);
    }
    return pages;
}

bool writeIndex(const std::string& dir, const std::vector<MatchRecord>& records,
                const std::map<int, std::string>& pages, std::string& error)
{
    return writeFileAtomically(dir + "/index.html", runIndexHtml(records, pages), error);
}

} // namespace

int gameOfName(const std::string& name)
{
    if (name.rfind("game-", 0) != 0)
        return -1;
    int game = -1;
    const char* first = name.data() + 5;
    const char* last = name.data() + name.size();
    const auto [end, problem] = std::from_chars(first, last, game);
    if (problem != std::errc() || end == first || (*end != '-' && *end != '.'))
        return -1;
    return game;
}

bool RunReport::open(const std::string& dir, const std::vector<MatchRecord>& earlier, std::string& error)
{
    dir_ = dir;
    std::error_code made;
    fs::create_directories(dir, made);
    if (made) {
        error = "cannot make '" + dir + "': " + made.message();
        return false;
    }
    records_ = earlier;
    pages_ = pagesIn(dir);
    return writeWebAssets(dir, error) && writeIndex(dir_, records_, pages_, error);
}

bool RunReport::addPage(int game, const std::string& name, const Replay& replay,
                        const std::array<std::string, 2>& names, std::string& error)
{
    std::string html;
    MatchPageSettings settings = pageSettings(game, names);
    settings.evaluationLevels = evaluationLevels_;
    if (!matchPageHtml(replay, settings, html, error) || !writeFileAtomically(dir_ + "/" + name, html, error))
        return false;
    const std::lock_guard lock(pagesMutex_);
    pages_[game] = name;
    return true;
}

bool RunReport::addRecords(const std::vector<MatchRecord>& records, bool now, std::string& error)
{
    records_.insert(records_.end(), records.begin(), records.end());
    const auto clock = std::chrono::steady_clock::now();
    if (!now && (records.empty() || clock - written_ < std::chrono::seconds(1)))
        return true;
    written_ = clock;
    std::map<int, std::string> pages;
    {
        const std::lock_guard lock(pagesMutex_);
        pages = pages_;
    }
    return writeIndex(dir_, records_, pages, error);
}

std::optional<BuiltReport> buildReport(const std::string& dir, const std::vector<std::string>& inputs,
                                       std::string& error)
{
    const auto refuse = [&](std::string why) {
        error = std::move(why);
        return std::nullopt;
    };
    std::vector<MatchRecord> records;
    std::vector<fs::path> replays;
    for (auto path = inputs.begin(); path != inputs.end(); ++path) {
        std::error_code problem;
        if (fs::is_directory(*path, problem)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(*path, problem))
                if (entry.path().extension() == ".json" && gameOfName(entry.path().filename().string()) >= 0)
                    replays.push_back(entry.path());
        } else if (isRecordsPath(*path)) {
            std::vector<MatchRecord> read;
            if (!readRecordFile(*path, read, error))
                return refuse("cannot read '" + *path + "': " + error);
            records.insert(records.end(), read.begin(), read.end());
        } else if (gameOfName(fs::path(*path).filename().string()) >= 0) {
            replays.push_back(*path);
        } else {
            return refuse("'" + *path + "' is no records file (.csv, .jsonl), replay (game-G....json) or folder");
        }
    }
    // A game recorded twice (a resumed shard, say) counts once.
    std::set<int> seen;
    std::erase_if(records, [&](const MatchRecord& record) { return !seen.insert(record.game).second; });

    RunReport report;
    if (!report.open(dir, {}, error))
        return std::nullopt;
    BuiltReport built;
    for (const fs::path& path : replays) {
        Replay replay;
        const std::string name = path.filename().string();
        const int game = gameOfName(name);
        // The run's names for its players, where its records say them.
        std::array<std::string, 2> names{};
        for (const MatchRecord& record : records)
            if (record.game == game)
                names = {record.seats[0].player, record.seats[1].player};
        if (!readReplayFile(path.string(), replay, error)
            || !report.addPage(game, pageNameFor(name), replay, names, error)) {
            built.failures.push_back("'" + path.string() + "': " + error + "; no page for it");
        }
    }
    if (!report.addRecords(records, true, error))
        return std::nullopt;
    built.matches = records.size();
    built.pages = replays.size();
    return built;
}

} // namespace vorlen::match
