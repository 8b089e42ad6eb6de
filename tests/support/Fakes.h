#pragma once

#include "IVorlenGui.h"
#include "IVorlenLogic.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vorlen::testing {

// A player that answers from a script; after the script it repeats `fallback`.
class ScriptedPlayer : public IVorlenLogic {
public:
    explicit ScriptedPlayer(std::vector<int> script = {}, int afterwards = 0)
        : moves(std::move(script)), fallback(afterwards) {}

    int makeMove(const Field& field) override
    {
        seen.push_back(field);
        if (onMove)
            return onMove(field);
        const std::size_t index = seen.size() - 1;
        return index < moves.size() ? moves[index] : fallback;
    }

    std::vector<int> moves;
    int fallback;
    std::function<int(const Field&)> onMove;
    std::vector<Field> seen;
};

// A display that writes down every call, in order.
class RecordingGui : public IVorlenGui {
public:
    void onLocked() override { calls.push_back("onLocked"); }
    void lock() override
    {
        calls.push_back("lock");
        onLocked();
    }
    void unlock() override { calls.push_back("unlock"); }
    void setField(const Field* f) override
    {
        field = f;
        calls.push_back("setField");
    }
    void setScore(int team, int score) override
    {
        calls.push_back("setScore(" + std::to_string(team) + "," + std::to_string(score) + ")");
    }
    void draw() override { calls.push_back("draw"); }

    std::vector<std::string> calls;
    const Field* field = nullptr;
};

// A stream kept in memory, for reading back what was traced.
class MemoryStream {
public:
    MemoryStream() : stream(open_memstream(&buffer, &size)) {}
    ~MemoryStream()
    {
        std::fclose(stream);
        std::free(buffer);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    std::FILE* get() const { return stream; }
    std::string text() const
    {
        std::fflush(stream);
        return std::string(buffer, size);
    }

private:
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream;
};

} // namespace vorlen::testing
