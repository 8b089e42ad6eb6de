#pragma once

#include "support/PostgresServer.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlen::ladder {

// The databases a ladder keeps its rows in: every store and run test runs on both.
enum class Backend { Sqlite, Postgres };

inline std::string backendName(const ::testing::TestParamInfo<Backend>& info)
{
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

// The tests' PostgreSQL server: one for the whole test program, started at
// its first use and stopped at its end.
inline vorlen::testing::PostgresServer& testServer()
{
    static vorlen::testing::PostgresServer server;
    return server;
}

// A new, empty PostgreSQL database's address for a test; empty (the test
// skipped, with the reason) where no server can run here.
#define VORLEN_POSTGRES_DATABASE(address)                                                                           \
    do {                                                                                                           \
        if (!vorlen::ladder::testServer().running())                                                               \
            GTEST_SKIP() << vorlen::ladder::testServer().why();                                                    \
        address = vorlen::ladder::testServer().database();                                                         \
        ASSERT_FALSE(address.empty()) << "no new database on the test's PostgreSQL server";                        \
    } while (false)

} // namespace vorlen::ladder
