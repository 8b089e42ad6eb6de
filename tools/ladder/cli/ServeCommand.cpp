#include "CommandParts.h"
#include "HttpServer.h"
#include "LadderSite.h"
#include "LadderStandings.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace vorlen::ladder {
namespace {

// "HOST:PORT" or ":PORT" (the loopback address).
bool parseListen(const std::string& text, HttpSettings& settings)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        return false;
    const std::optional<long long> port = countOf(text.substr(colon + 1), 0, 65535);
    if (!port)
        return false;
    if (colon > 0)
        settings.host = text.substr(0, colon);
    settings.port = static_cast<int>(*port);
    return true;
}

} // namespace

CommandOutcome serveLadder(CommandCall& call, LadderStore& store)
{
    std::string listen = "127.0.0.1:8080", threads = "4";
    if (!takeOption(call.args, "--listen", listen) || !takeOption(call.args, "--threads", threads))
        return call.refuse("--listen needs HOST:PORT and --threads a count");
    HttpSettings settings;
    const std::optional<long long> threadCount = countOf(threads, 1, 256);
    if (!call.args.empty() || !parseListen(listen, settings) || !threadCount)
        return call.refuse("serve takes --listen HOST:PORT (127.0.0.1:8080) and --threads N (1 to 256)");
    settings.threads = static_cast<int>(*threadCount);
    // Uploads wait beside the storage they go into, on the same disk.
    settings.uploads = call.ladder.storage() + "/uploads";
    std::error_code made;
    std::filesystem::create_directories(settings.uploads, made);
    if (made)
        return call.fail("cannot make '" + settings.uploads + "': " + made.message());
    const std::optional<std::string> location = call.ladder.databaseLocation();
    if (!location)
        return call.fail("no ladder in '" + call.ladder.root + "'");
    store.schemaVersion(); // refused above already where it is not this program's
    try {
        LadderSite site(call.ladder, *location, kStandingsTop);
        HttpServer server(settings, [&site](const HttpRequest& request) { return site.handle(request); });
        if (call.say)
            call.say("Serving the ladder on http://" + settings.host + ":" + std::to_string(server.port())
                     + "/ (Ctrl-C stops)\n");
        while (call.interrupted == nullptr || *call.interrupted == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } catch (const std::runtime_error& error) {
        return call.fail(error.what());
    }
    return call.outcome;
}

} // namespace vorlen::ladder
