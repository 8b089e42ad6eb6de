#pragma once

#include "support/TempDir.h"

#include <glob.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace vorlen::testing {

// A PostgreSQL server of the tests' own: a cluster made by initdb in a
// temporary folder, listening on a socket there only (no network port),
// stopped and removed with the object. Made as nobody where the tests run
// as root (the server refuses root). Each database() is a new, empty one.
class PostgresServer {
public:
    PostgresServer()
    {
        const std::string bin = serverPrograms();
        if (bin.empty()) {
            why_ = "PostgreSQL's server is not installed (Debian's package postgresql)";
            return;
        }
        data_ = dir_.file("data");
        socket_ = dir_.file("socket");
        std::filesystem::create_directories(socket_);
        const std::string as = asServerUser();
        if (as == "?") {
            why_ = "no unprivileged user 'nobody' to run the server as";
            return;
        }
        const std::string log = socket_ + "/server.log"; // written by the server's user
        const std::string made = as + bin + "/initdb -D '" + data_ + "' -U ladder --auth=trust -E UTF8 --no-sync >'"
                                 + dir_.file("initdb.log") + "' 2>&1";
        const std::string started = as + bin + "/pg_ctl -D '" + data_ + "' -l '" + log + "' -w -t 60 -o \"-k '" + socket_
                                    + "' -c listen_addresses='' -c fsync=off\" start >/dev/null 2>&1";
        if (std::system(made.c_str()) != 0 || std::system(started.c_str()) != 0) {
            why_ = "the test's PostgreSQL server did not start (see " + log + ")";
            return;
        }
        stop_ = as + bin + "/pg_ctl -D '" + data_ + "' -m immediate -w stop >/dev/null 2>&1";
        running_ = true;
    }
    ~PostgresServer()
    {
        if (running_)
            std::system(stop_.c_str());
    }
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool running() const { return running_; }
    const std::string& why() const { return why_; }

    // The address of a new, empty database on the server.
    std::string database()
    {
        const std::string name = "ladder" + std::to_string(++databases_);
        const std::string made = "psql -q -h '" + socket_ + "' -U ladder -d postgres -c 'CREATE DATABASE " + name
                                 + "' >/dev/null 2>&1";
        if (std::system(made.c_str()) != 0)
            return {};
        return "postgresql:///" + name + "?host=" + socket_ + "&user=ladder";
    }

private:
    // The newest installed server's programs.
    static std::string serverPrograms()
    {
        glob_t found{};
        std::string newest;
        if (::glob("/usr/lib/postgresql/*/bin/pg_ctl", 0, nullptr, &found) == 0 && found.gl_pathc > 0)
            newest = std::filesystem::path(found.gl_pathv[found.gl_pathc - 1]).parent_path().string();
        ::globfree(&found);
        return newest;
    }
    // How the server's programs are run: as nobody, its folders made
    // nobody's, where this is root; else as this user. "?" when it cannot.
    std::string asServerUser()
    {
        if (::geteuid() != 0)
            return "";
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody)
            return "?";
        std::filesystem::create_directories(data_);
        for (const std::string& path : {data_, socket_})
            if (::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
                return "?";
        ::chmod(data_.c_str(), 0700);
        return "runuser -u nobody -- ";
    }

    TempDir dir_;
    std::string data_;
    std::string socket_;
    std::string stop_;
    std::string why_;
    bool running_ = false;
    int databases_ = 0;
};

} // namespace vorlen::testing
