// One owner per mouse: the lock file in the user's runtime folder.
#include "platform/mouse_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "../support/temp_dir.h"

namespace kx700 {
namespace {

using namespace std::chrono_literals;

// Points the runtime folder somewhere for the life of the object.
class RuntimeDir {
public:
    explicit RuntimeDir(const char* value) {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
        setenv("XDG_RUNTIME_DIR", value, 1);
    }
    ~RuntimeDir() {
        if (saved_.empty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    }

private:
    std::string saved_;
};

TEST(MouseLock, OneOwnerPerKeyAndTheOthersLearnWho) {
    testing::TempDir dir;
    RuntimeDir runtime(dir.path().c_str());
    MouseLock window;
    ASSERT_EQ(window.acquire(MouseKeyForFile(dir / "m.state"), kWindowProgram, 0ms), MouseLock::Result::Acquired);

    // Another spelling of the same file is the same mouse.
    MouseLock ctl;
    EXPECT_EQ(ctl.acquire(MouseKeyForFile(dir / "." / "m.state"), "kx700ctl apply", 100ms), MouseLock::Result::Held);
    EXPECT_EQ(ctl.holder().program, "kx700");
    EXPECT_EQ(ctl.holder().pid, static_cast<long>(getpid()));
    EXPECT_EQ(ctl.holder().describe(), "kx700 (process " + std::to_string(getpid()) + ")");
    EXPECT_FALSE(ctl.held());

    // Another mouse is free.
    EXPECT_EQ(ctl.acquire(MouseKeyForFile(dir / "other.state"), "kx700ctl apply", 0ms), MouseLock::Result::Acquired);
    ctl.release();

    window.release();
    EXPECT_EQ(ctl.acquire(MouseKeyForFile(dir / "m.state"), "kx700ctl apply", 0ms), MouseLock::Result::Acquired);
    EXPECT_EQ(window.acquire("/dev/hidraw3", kWindowProgram, 0ms), MouseLock::Result::Acquired) << "keys are separate";
}

// Looking does not take: the holder stays the owner, and a free mouse stays free.
TEST(MouseLock, HolderIsSeenWithoutTakingTheLock) {
    testing::TempDir dir;
    RuntimeDir runtime(dir.path().c_str());
    const std::string key = MouseKeyForFile(dir / "m.state");
    EXPECT_FALSE(MouseLock::Holder(key)) << "never locked";

    MouseLock window;
    ASSERT_EQ(window.acquire(key, kWindowProgram, 0ms), MouseLock::Result::Acquired);
    const auto seen = MouseLock::Holder(key);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->describe(), "kx700 (process " + std::to_string(getpid()) + ")");
    MouseLock ctl;
    EXPECT_EQ(ctl.acquire(key, "kx700ctl apply", 0ms), MouseLock::Result::Held) << "still the window's";

    window.release();
    EXPECT_FALSE(MouseLock::Holder(key));
    EXPECT_EQ(ctl.acquire(key, "kx700ctl apply", 0ms), MouseLock::Result::Acquired);
}

TEST(MouseLock, WithoutAnyRuntimeFolderItGoesOnUnlocked) {
    RuntimeDir runtime("/nonexistent/runtime");
    const char* tmp = std::getenv("TMPDIR");
    const std::string savedTmp = tmp ? tmp : "";
    setenv("TMPDIR", "/nonexistent/tmp", 1);
    MouseLock lock;
    EXPECT_EQ(lock.acquire("/dev/hidraw0", kWindowProgram, 0ms), MouseLock::Result::Unavailable);
    EXPECT_TRUE(RuntimeFolder().empty());
    if (savedTmp.empty())
        unsetenv("TMPDIR");
    else
        setenv("TMPDIR", savedTmp.c_str(), 1);
}

}  // namespace
}  // namespace kx700
