#include "platform/config/LockFile.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <system_error>

namespace orvane::test {
namespace {

// Two windows of one process, each with its own open of the file, must not share a lock: the
// second waits out its patience and is refused until the first lets go.
TEST(LockFileTest, OneHolderAtATimeAlsoWithinOneProcess)
{
    const TempFolder folder;
    auto first = std::make_unique<LockFile>(folder / "slot.lock", 0600);
    LockFile second(folder / "slot.lock", 0600);
    EXPECT_EQ(first->tryTake(), LockFile::State::Held);
    EXPECT_EQ(second.tryTake(), LockFile::State::HeldElsewhere);
    EXPECT_EQ(second.take(std::chrono::milliseconds(120)), LockFile::State::HeldElsewhere);
    first.reset();
    EXPECT_EQ(second.tryTake(), LockFile::State::Held);
}

TEST(LockFileTest, AFileThatCannotBeOpenedIsNamed)
{
    const TempFolder folder;
    try {
        LockFile lock(folder / "missing" / "slot.lock", 0600);
        FAIL() << "a lock file in a missing folder was opened";
    } catch (const std::system_error& e) {
        EXPECT_NE(std::string(e.what()).find((folder / "missing" / "slot.lock").string()), std::string::npos)
            << e.what();
    }
}

} // namespace
} // namespace orvane::test
