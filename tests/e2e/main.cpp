#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/test_session.h"
#include "e2e/x_server.h"

// Like the shared test main, every process gets private settings and runtime folders; in
// addition it starts its own X server and becomes a client of it, so tests can grab the screen
// the saver draws on. Listing the tests (test discovery) needs neither.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    QTemporaryDir home;
    if (!e2e::usePrivateFolders(home)) return 2;
    e2e::XServer xvfb;
    QString error;
    if (!e2e::startXvfb(xvfb, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    return e2e::runTestsOn(xvfb.display(), argc, argv);
}
