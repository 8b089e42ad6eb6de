#pragma once

#include "BotCopy.h"
#include "LadderCommands.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vorlen::ladder {

// A ladder in a temporary folder, driven through its commands.
class Ladder : public ::testing::Test {
protected:
    ~Ladder() override { removeCopiedFolder(root); } // sealed folders, whoever runs the tests

    CommandOutcome run(std::vector<std::string> words)
    {
        words.insert(words.begin(), {"--ladder", root});
        return runLadderCommand(words, "2026-12-10T12:00:00Z");
    }
    // A bot folder of the given files, under the test's folder.
    std::string botFolder(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files)
    {
        const std::filesystem::path folder = dir.path() / name;
        for (const auto& [path, text] : files) {
            std::filesystem::create_directories((folder / path).parent_path());
            dir.write(name + "/" + path, text);
        }
        std::filesystem::create_directories(folder);
        return folder.string();
    }
    std::vector<std::string> storedBots() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root + "/storage/bots"))
            names.push_back(entry.path().filename().string());
        return names;
    }

    vorlen::testing::TempDir dir;
    std::string root = dir.file("ladder");
};

} // namespace vorlen::ladder
