#include "core/meet_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/test_support.h"

namespace meet {
namespace {

using namespace std::chrono_literals;

// A child process that takes the folder's lock, says so through a pipe and
// keeps it until it is killed.
pid_t HoldInChild(const test::TempDir& dir) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    SetLockProgram("holder");
    auto lock = MeetLock::Acquire(dir.path(), "test hold", 0ms);
    const char c = lock ? 'y' : 'n';
    if (write(ready[1], &c, 1) != 1) _exit(2);
    pause();
    _exit(0);
  }
  char c = 0;
  if (read(ready[0], &c, 1) != 1 || c != 'y') return -1;
  close(ready[0]);
  close(ready[1]);
  return child;
}

TEST(MeetLock, OneWriterAtATimeAcrossProcessesAndFreelyWithinOne) {
  test::TempDir dir;
  {
    auto outer = MeetLock::Acquire(dir.path(), "outer", 0ms);
    ASSERT_TRUE(outer) << outer.error().message;
    auto inner = MeetLock::Acquire(dir.path(), "inner", 0ms);
    EXPECT_TRUE(inner) << "taken again by the process that holds it";
  }
  const pid_t child = HoldInChild(dir);
  ASSERT_GT(child, 0);
  const auto started = std::chrono::steady_clock::now();
  auto refused = MeetLock::Acquire(dir.path(), "second", 300ms);
  const auto waited = std::chrono::steady_clock::now() - started;
  ASSERT_FALSE(refused);
  EXPECT_GE(waited, 300ms) << "a second writer waits before it gives up";
  EXPECT_NE(refused.error().message.find("holder、プロセス " + std::to_string(child) + "、test hold"), std::string::npos)
      << refused.error().message;
  // A holder killed with SIGKILL leaves its lock to be taken over.
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  auto taken = MeetLock::Acquire(dir.path(), "after", 0ms);
  EXPECT_TRUE(taken) << (taken ? "" : taken.error().message);
  ASSERT_TRUE(ReadLockHolder(dir.path()));
  EXPECT_EQ(ReadLockHolder(dir.path())->command, "after");
}

}  // namespace
}  // namespace meet
