// The folder configuration's three lines straight from the file, and the
// configuration written from what was read read back the same.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz_bytes.h"
#include "fuzz_support.h"
#include "settings/folders.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::FolderConfig(), data, size);
  Folders f;
  if (!LoadFolders(fuzz::FolderConfig(), f)) return 0;
  fuzz::Expect(f.meetFolder.empty() || f.meetFolder.back() == '/', "the meet folder ends in a separator");
  fuzz::Expect(f.entryFolder.empty() || f.entryFolder.back() == '/', "the entry folder ends in a separator");
  (void)WithoutTrailingSeparator(f.meetFolder);
  // Bytes that do not decode are written as "?".
  for (const std::string* v : {&f.meetFolder, &f.entryFolder, &f.entryFileName})
    if (v->find("\xEF\xBF\xBD") != std::string::npos) return 0;
  const auto copy = fuzz::FolderConfig().parent_path() / "again.ctl";
  if (!SaveFolders(copy, f)) return 0;
  Folders again;
  fuzz::Expect(LoadFolders(copy, again).has_value(), "the configuration written is read back");
  // The same folder, whatever separators were doubled ("/e//" is "/e/").
  auto same = [](const std::string& a, const std::string& b) {
    return std::filesystem::path(a).lexically_normal() == std::filesystem::path(b).lexically_normal();
  };
  fuzz::Expect(same(again.meetFolder, f.meetFolder) && same(again.entryFolder, f.entryFolder) &&
                   again.entryFileName == f.entryFileName,
               "the configuration written reads back the same folders");
  return 0;
}
