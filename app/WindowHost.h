#pragma once

#include <QStringList>

#include <atomic>
#include <memory>

class main_window;
namespace vorlen {
class BotGroups;
}

// Keeps the match window on show. A new match (File -> New match...) is a
// new window in the old one's place, made from options as at start, so
// nothing of the old match (its players, bots, replay) carries over.
class WindowHost {
public:
    WindowHost();
    ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    // Shows `window`, saying what keeps its match from being played.
    void show(std::unique_ptr<main_window> window);
    main_window* current() const { return window_.get(); }
    // The bots of the window on show, for a signal handler to end.
    const std::atomic<vorlen::BotGroups*>& bots() const { return bots_; }

private:
    void adopt(std::unique_ptr<main_window> window);
    void sayProblems();
    void replace(const QStringList& arguments);

    std::unique_ptr<main_window> window_;
    std::atomic<vorlen::BotGroups*> bots_{nullptr};
};
