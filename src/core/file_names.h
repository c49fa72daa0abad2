// File names in a meet folder are found whatever their letter case, so that
// folders copied from other systems (taikai.dat / Taikai.dat) work.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"

namespace meet {

namespace fs = std::filesystem;

// The existing file in `folder` whose name equals `name` ignoring ASCII
// letter case; the exact spelling wins. When there is none, folder / name,
// the spelling a new file is created with.
fs::path FindFile(const fs::path& folder, std::string_view name);

// True when the names are equal ignoring ASCII letter case.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// Files in `folder` whose extension equals `extension` (".Mos") ignoring case,
// sorted by name.
std::vector<fs::path> ListFilesWithExtension(const fs::path& folder, std::string_view extension);

// The whole file, or an error. A missing file is ErrorKind::NotFound. Only a
// regular file (or a link to one) is read: a pipe, a device or a folder in
// its place is refused with a message naming it, so nothing waits for ever.
Result<std::string> ReadWholeFile(const fs::path& path);
// The first `maxBytes` bytes of the file (all of a shorter one), by the same
// rules: a reader that can use only so much never holds more in memory.
Result<std::string> ReadFileHead(const fs::path& path, uint64_t maxBytes);

// An error naming the file when it is there but no regular file (a pipe, a
// device, a folder, a dangling link or a loop of links); fine when it is a
// regular file, a link to one, or missing from a folder that is there.
// Commands check every file they will write with it before writing the first.
Status CheckWritable(const fs::path& path);

// Writes the bytes to a temporary file in the same folder and renames it into
// place, so that a crash leaves either the old file or the new one, never half.
// A link is kept: the file it points to is rewritten. Temporary files of this
// file that a killed process left behind (".NAME.XXXXXX") are removed first.
// With MEETDESK_CRASH_AT=K in the environment the process kills itself
// (SIGKILL) at the K-th step of its whole-file writes (the temporary file
// made, each 4 KiB written, synced, renamed), which the crash test uses;
// MEETDESK_FAIL_WRITE_AT=K makes that step fail instead (InjectedWriteError).
Status WriteWholeFile(const fs::path& path, std::string_view bytes);

// The failure of a write: "ディスクに書き込めません: PATH（reason）".
std::unexpected<Error> WriteFailed(const fs::path& path, int err);
// The write-failure test's hook: with MEETDESK_FAIL_WRITE_AT=K in the
// environment the K-th write step of the process (a whole-file write's
// temporary file made, each piece written, synced, renamed; each in-place
// write of a record file) fails with ENOSPC, as on a full disk. 0 when the
// step may go on.
int InjectedWriteError();

// A command's outputs, written whole one after another, after every one of
// them was checked writable. When one still fails, the message says which
// were written before it; none after it is written.
struct FileToWrite {
  fs::path path;
  std::string_view bytes;
};
Status WriteWholeFiles(const std::vector<FileToWrite>& files);

// Byte size of a file; 0 when it is missing.
uint64_t FileSize(const fs::path& path);

}  // namespace meet
