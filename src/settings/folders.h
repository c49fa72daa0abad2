// The folder configuration, remembered between runs: by default
// "../ctl/dr_kyo.ctl" relative to the working folder. Three lines: the first
// two characters of the meet folder path; the meet folder path, a comma and
// the first two characters of the entry folder path; the entry folder path, a
// comma and the entry file name. Paths are written without a trailing
// separator.
#pragma once

#include <filesystem>
#include <string>

#include "core/error.h"

namespace meet {

inline constexpr const char* kDefaultFolderConfig = "../ctl/dr_kyo.ctl";

struct Folders {
  std::string meetFolder;              // always ends in "/" once set
  std::string entryFolder;             // always ends in "/" once set
  std::string entryFileName = "ind.dat";
};

// The folder configuration file in use: `override` when given, else the
// environment variable MEETDESK_CTL, else "../ctl/dr_kyo.ctl".
std::filesystem::path FolderConfigPath(const std::string& override = {});

// A folder path as the system holds it: with one trailing "/" (a root stays "/").
std::string WithTrailingSeparator(std::string path);
// A folder path as the pickers give it: without a trailing "/" (except the root).
std::string WithoutTrailingSeparator(std::string path);

// Reads the configuration. A missing or short file ends the reading quietly,
// keeping what was read; `folders` keeps its values for what is missing. A
// path holding a NUL is refused with an error and nothing is taken.
Status LoadFolders(const std::filesystem::path& configFile, Folders& folders);

// Writes the configuration, replacing the file (its folder is made when
// missing). A path holding a comma, a line end or a NUL cannot be written back and is
// refused.
Status SaveFolders(const std::filesystem::path& configFile, const Folders& folders);

}  // namespace meet
