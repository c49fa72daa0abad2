// One writer at a time. A command that writes a meet folder holds the folder's
// lock for the whole command, its reading included: an advisory lock on the
// file ".meetdesk.lock" beside kijun.dat (an fcntl lock on the file's open
// description), which also holds who has it — program, process id, command
// and since when — for the message another writer gets. The kernel drops the
// lock of a process that ends, however it ends, so a lock left by a killed
// process is simply taken over. Readers never take it.
//
// Within one process the lock is taken again freely while it is held (a
// command that runs another one), and let go when the outermost holder ends.
// The timing system's "6" in Race.dat is written without it, as ever.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"

namespace meet {

inline constexpr const char* kLockFileName = ".meetdesk.lock";

// Who holds (or last held) the lock of a folder, as its lock file says.
struct LockHolder {
  std::string program;
  long pid = 0;
  std::string command;
  std::string since;  // yyyy/mm/dd hh:mm:ss
};

// The program named in the lock file ("meetdesk", "meetctl"); set once at start.
void SetLockProgram(std::string_view program);

// How long a second writer waits before it gives up: MEETDESK_LOCK_WAIT_MS
// when set, else five seconds.
std::chrono::milliseconds DefaultLockWait();

class MeetLock {
 public:
  // Takes the lock of `folder` for `command`, waiting up to `wait`. Refused
  // with a message naming the holder when another process keeps it that long.
  static Result<MeetLock> Acquire(const std::filesystem::path& folder, std::string_view command,
                                  std::chrono::milliseconds wait = DefaultLockWait());

  MeetLock(MeetLock&&) noexcept;
  MeetLock& operator=(MeetLock&&) noexcept;
  MeetLock(const MeetLock&) = delete;
  MeetLock& operator=(const MeetLock&) = delete;
  ~MeetLock();

  // The lock a process holds on one folder, shared by its nested holders.
  struct Held;

 private:
  explicit MeetLock(std::shared_ptr<Held> held);
  std::shared_ptr<Held> held_;
};

// What the lock file of `folder` says, when there is one that can be read.
std::optional<LockHolder> ReadLockHolder(const std::filesystem::path& folder);

// "meetctl（プロセス 1234、post、2026/12/09 15:00:01 から）"
std::string HolderText(const LockHolder& holder);

}  // namespace meet
