#include "WindowHost.h"

#include "main_window.h"

#include <QMessageBox>

WindowHost::WindowHost() = default;

WindowHost::~WindowHost() = default;

void WindowHost::show(std::unique_ptr<main_window> window)
{
    adopt(std::move(window));
    sayProblems();
}

void WindowHost::adopt(std::unique_ptr<main_window> window)
{
    window->onNewMatch([this](const QStringList& arguments) { replace(arguments); });
    bots_ = &window->bots();
    window_ = std::move(window);
    window_->show();
}

void WindowHost::sayProblems()
{
    if (window_->startProblems().empty())
        return;
    QStringList lines;
    for (const std::string& problem : window_->startProblems())
        lines << QString::fromLocal8Bit(problem);
    QMessageBox::warning(window_.get(), "vorlen", "The match cannot be played:\n" + lines.join('\n'));
}

void WindowHost::replace(const QStringList& arguments)
{
    auto next = std::make_unique<main_window>(arguments, nullptr);
    next->setGeometry(window_->geometry());
    std::unique_ptr<main_window> old = std::move(window_);
    // Shown before the old one closes, so the application does not end with it.
    adopt(std::move(next));
    old->close();
    // The old window's menu action is still being handled: it goes afterwards.
    old.release()->deleteLater();
    sayProblems();
}
