#include "main_window.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

bool displayAvailable()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[])
{
    if (!displayAvailable()) {
        std::fprintf(stderr, "vorlen: no display to open the window on; run it in a desktop "
                             "session, or headless with: xvfb-run vorlen [options]\n");
        return 1;
    }
    // The trace is read as the match goes, often through a pipe or a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication application(argc, argv);
    main_window window;
    window.show();
    return application.exec();
}
