#include "SeatFilesJson.h"

#include "Base64.h"

namespace vorlen::replay_json {

Json seatFilesJson(const SeatFiles& files)
{
    Json list = Json::array();
    for (const SeatFile& file : files.files)
        list.push_back({{"path", file.path}, {"base64", toBase64(file.bytes)}});
    Json value = {{"files", list}};
    if (files.cutBytes > 0)
        value["cut"] = files.cutBytes;
    return value;
}

std::optional<SeatFiles> readSeatFilesJson(const Json& value, std::string& problem)
{
    problem = "\"seat_files\" is not a seat folder's files as replays keep them";
    const auto list = value.is_object() ? value.find("files") : value.end();
    if (!value.is_object() || list == value.end() || !list->is_array() || list->size() > kSeatFilesCount)
        return std::nullopt;
    SeatFiles files;
    std::size_t total = 0;
    for (const Json& entry : *list) {
        const auto path = entry.is_object() ? entry.find("path") : entry.end();
        const auto text = entry.is_object() ? entry.find("base64") : entry.end();
        if (!entry.is_object() || path == entry.end() || text == entry.end() || !path->is_string() || !text->is_string())
            return std::nullopt;
        const std::optional<std::string> bytes = fromBase64(text->get_ref<const std::string&>());
        if (!bytes || !isSoundSeatPath(path->get<std::string>()) || (total += bytes->size()) > kSeatFilesBytes)
            return std::nullopt;
        if (!files.files.empty() && files.files.back().path >= path->get<std::string>())
            return std::nullopt; // by path, each once
        files.files.push_back({path->get<std::string>(), *bytes});
    }
    if (const auto cut = value.find("cut"); cut != value.end()) {
        if (!cut->is_number_unsigned())
            return std::nullopt;
        files.cutBytes = cut->get<std::uint64_t>();
    }
    problem.clear();
    return files;
}

} // namespace vorlen::replay_json
