#include "settings/folders.h"

#include <cstdlib>
#include <vector>

#include "core/cp932.h"
#include "core/file_names.h"

namespace meet {

std::filesystem::path FolderConfigPath(const std::string& override) {
  if (!override.empty()) return override;
  if (const char* env = std::getenv("MEETDESK_CTL"); env && *env) return env;
  return kDefaultFolderConfig;
}

std::string WithTrailingSeparator(std::string path) {
  if (path.empty()) return path;
  if (path.back() != '/') path.push_back('/');
  return path;
}

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

Status LoadFolders(const std::filesystem::path& configFile, Folders& folders) {
  auto bytes = ReadFileHead(configFile, 64 * 1024);  // three lines of folder names
  if (!bytes) return {};
  std::string text = DecodeCp932(*bytes);
  std::vector<std::string> values;
  size_t i = 0;
  while (i < text.size() && values.size() < 5) {
    size_t end = text.find_first_of(",\r\n", i);
    if (end == std::string::npos) end = text.size();
    values.push_back(text.substr(i, end - i));
    i = end;
    if (i < text.size() && text[i] == ',') {
      ++i;
    } else {
      while (i < text.size() && (text[i] == '\r' || text[i] == '\n')) ++i;
    }
  }
  // A path cut short by a NUL would name another file: the configuration is
  // refused whole and `folders` keeps its values.
  for (const std::string& v : values)
    if (v.find('\0') != std::string::npos)
      return Fail(ErrorKind::Invalid, "フォルダー設定 " + configFile.string() +
                                          " のパスに NUL 文字があります。フォルダーを選び直してください。");
  // values: drive, meet folder, drive, entry folder, entry file name.
  if (values.size() >= 2) folders.meetFolder = WithTrailingSeparator(values[1]);
  if (values.size() >= 4) folders.entryFolder = WithTrailingSeparator(values[3]);
  if (values.size() >= 5) folders.entryFileName = values[4];
  return {};
}

Status SaveFolders(const std::filesystem::path& configFile, const Folders& folders) {
  const std::string meet = WithoutTrailingSeparator(folders.meetFolder);
  const std::string entry = WithoutTrailingSeparator(folders.entryFolder);
  for (const std::string* value : {&meet, &entry, &folders.entryFileName}) {
    if (value->find_first_of(std::string_view(",\r\n\0", 4)) != std::string::npos)
      return Fail(ErrorKind::Invalid, "フォルダー名・ファイル名に「,」や改行、NUL 文字は使えません: " + *value);
  }
  std::string text = LeftChars(meet, 2) + "\r\n" + meet + "," + LeftChars(entry, 2) + "\r\n" + entry + "," +
                     folders.entryFileName + "\r\n";
  std::error_code ec;
  if (configFile.has_parent_path()) std::filesystem::create_directories(configFile.parent_path(), ec);
  return WriteWholeFile(configFile, EncodeCp932(text));
}

}  // namespace meet
