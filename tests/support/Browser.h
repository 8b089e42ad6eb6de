#pragma once

#include "support/TempDir.h"

#include <QImage>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vorlen::testing {

// Debian's Chromium, when it is here.
inline std::string chromium()
{
    for (const char* path : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
        if (access(path, X_OK) == 0)
            return path;
    return {};
}

// Options every test browser gets: no sandbox (tests run as root), a
// profile of its own, and no way out to a network, so a page that needs one
// shows that it does.
inline std::string browserOptions(const TempDir& dir)
{
    return " --no-sandbox --disable-gpu --no-first-run --disable-dev-shm-usage --hide-scrollbars"
           " --proxy-server=127.0.0.1:9 --proxy-bypass-list='<-loopback>' --user-data-dir="
           + dir.file("browser-profile");
}

// A headless screenshot of `url`, 1200 x 800: the page as it stands once loaded.
inline QImage screenshot(const TempDir& dir, const std::string& url)
{
    const std::string png = dir.file("shot.png");
    std::remove(png.c_str());
    const std::string command = "timeout 90 " + chromium() + " --headless=new" + browserOptions(dir)
                                + " --window-size=1200,800 --screenshot=" + png + " '" + url + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    return QImage(QString::fromStdString(png));
}

// The page's document once its scripts have run, as headless Chromium sees it.
inline std::string renderedDom(const TempDir& dir, const std::string& url)
{
    const std::string command = "timeout 90 " + chromium() + " --headless=new" + browserOptions(dir) + " --dump-dom '"
                                + url + "' 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string dom;
    char buffer[4096];
    for (std::size_t got = 0; pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        dom.append(buffer, got);
    if (pipe)
        pclose(pipe);
    return dom;
}

// A program started in the background by the shell, ended (with what it
// started in its process group) when the object goes.
class Background {
public:
    explicit Background(const std::string& command)
    {
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        const std::string line = "exec " + command + " >/dev/null 2>&1";
        const char* argv[] = {"/bin/sh", "-c", line.c_str(), nullptr};
        if (posix_spawn(&pid_, "/bin/sh", nullptr, &attributes, const_cast<char**>(argv), environ) != 0)
            pid_ = -1;
        posix_spawnattr_destroy(&attributes);
    }
    ~Background()
    {
        if (pid_ <= 0)
            return;
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

// An X server of this test's own, 1280 x 800: what a browser shows there can
// be typed at (xdotool) and captured (ImageMagick's import).
class XServer {
public:
    XServer() : display_(":" + std::to_string(100 + ::getpid() % 400)), server_("Xvfb " + display_ + " -screen 0 1280x800x24 -nolisten tcp")
    {
        const std::string socket = "/tmp/.X11-unix/X" + display_.substr(1);
        for (int i = 0; i < 100 && access(socket.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ready_ = access(socket.c_str(), F_OK) == 0 && server_.running();
    }
    bool ready() const { return ready_; }
    // Runs a shell command line on this display; its exit status.
    int run(const std::string& command) const
    {
        return std::system(("DISPLAY=" + display_ + " " + command + " >/dev/null 2>&1").c_str());
    }
    std::string display() const { return display_; }
    QImage capture(const TempDir& dir) const
    {
        const std::string png = dir.file("screen.png");
        std::remove(png.c_str());
        if (run("import -window root " + png) != 0)
            return {};
        return QImage(QString::fromStdString(png));
    }

private:
    std::string display_;
    Background server_;
    bool ready_ = false;
};

} // namespace vorlen::testing
