#include "fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "settings/folders.h"

namespace meet::fuzz {
namespace fs = std::filesystem;
namespace {

struct Folder {
  fs::path root, meet, entries, ctl;
  Folder() {
    // In memory where the system has a tmpfs: every input is a file written
    // and read again, and a disk would make that the most of each run.
    std::error_code ec;
    std::string name = fs::is_directory("/dev/shm", ec) ? "/dev/shm/meetdesk-fuzz-XXXXXX" : "/tmp/meetdesk-fuzz-XXXXXX";
    if (!::mkdtemp(name.data())) std::abort();
    root = name;
    meet = root / "meet";
    entries = root / "entries";
    ctl = root / "ctl" / "dr_kyo.ctl";
    fs::create_directories(meet / "goal");
    fs::create_directories(meet / "lap");
    fs::create_directories(entries);
    fs::create_directories(ctl.parent_path());
    const fs::path corpus = MEETDESK_FUZZ_CORPUS;
    const char* seeds[][2] = {{"kijun", "kijun.dat"},   {"taikai", "taikai.dat"},     {"relay", "relay.dat"},
                              {"race_states", "Race.dat"}, {"projun", "projun.dat"}, {"hpro", "hpro.dat"},
                              {"shikaku", "shikaku.dat"}, {"biko", "biko.dat"},      {"optkubun", "optkubun.dat"}};
    for (auto& s : seeds) fs::copy_file(corpus / s[0] / s[1], meet / s[1]);
    fs::copy_file(corpus / "entry" / "fz.Mos", entries / "fz.Mos");
    fs::copy_file(corpus / "goal" / "G0001", meet / "goal" / "G0001");
    fs::copy_file(corpus / "lap" / "R0001", meet / "lap" / "R0001");
    Folders f;
    f.meetFolder = WithTrailingSeparator(meet.string());
    f.entryFolder = WithTrailingSeparator(entries.string());
    f.entryFileName = "fz.Mos";
    if (!SaveFolders(ctl, f)) std::abort();
  }
  // Removed when the process ends (the folder is a static of its own).
  ~Folder() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  static Folder& Get() {
    static Folder folder;
    return folder;
  }
};

}  // namespace

const fs::path& Meet() { return Folder::Get().meet; }
const fs::path& EntryFolder() { return Folder::Get().entries; }
const fs::path& FolderConfig() { return Folder::Get().ctl; }
fs::path EntryFile() { return EntryFolder() / "fz.Mos"; }

void Put(const fs::path& file, const uint8_t* data, size_t size) {
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) std::abort();
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) std::abort();
    done += static_cast<size_t>(n);
  }
  ::close(fd);
}

void Restore(const std::string& kind, const std::string& name, const fs::path& file) {
  fs::copy_file(fs::path(MEETDESK_FUZZ_CORPUS) / kind / name, file, fs::copy_options::overwrite_existing);
}

Settings MeetSettings() {
  Settings s;
  LoadSettings(Meet(), s);
  s.entryFolder = WithTrailingSeparator(EntryFolder().string());
  s.entryFileName = "fz.Mos";
  return s;
}

}  // namespace meet::fuzz
