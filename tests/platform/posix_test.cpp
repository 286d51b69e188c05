// The quit signals reach the event loop's descriptor instead of ending the process.
#include "platform/posix.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>

namespace kx700 {
namespace {

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

TEST(QuitSignalPipe, EachSignalIsOneByteAndRemovalRestoresTheDefaults) {
    const int watched = posix::InstallQuitSignalPipe();
    ASSERT_GE(watched, 0);
    EXPECT_EQ(posix::InstallQuitSignalPipe(), -1) << "one pipe at a time";
    EXPECT_FALSE(Readable(watched));
    for (int s : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(s);
        ASSERT_EQ(std::raise(s), 0);
        EXPECT_TRUE(Readable(watched));
        posix::TakeQuitSignalByte();
        EXPECT_FALSE(Readable(watched)) << "one byte per signal";
    }
    posix::RemoveQuitSignalPipe();
    struct sigaction now {};
    for (int s : {SIGTERM, SIGINT, SIGHUP}) {
        ASSERT_EQ(sigaction(s, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << s;
    }
    const int again = posix::InstallQuitSignalPipe();
    EXPECT_GE(again, 0) << "installed again after removal";
    posix::RemoveQuitSignalPipe();
}

}  // namespace
}  // namespace kx700
