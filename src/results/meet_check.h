// The check of a meet folder before the meet ("点検", `meetctl check`): every
// file of the meet folder and the entry file is read, never more of it than
// its format can use, and each thing that does not fit is one line naming the
// file and the record: counts beyond the file, lanes naming entries past the
// entry count, relay links to missing blocks, page slots and program entries
// naming missing races, races without a state in Race.dat, values that are no
// time code, texts that do not decode as CP932, and files that cannot be read
// (a pipe, a folder, a broken link) or are larger than their format. Optional
// files that are not there yet (biko.dat, nyusho.dat, optkubun.dat, hpro.dat,
// shikaku.dat, relay.dat, the timing files) are no fault. Nothing is written.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace meet {

// The most lines listed for one file; the rest are counted in one more line.
inline constexpr int kMaxListedPerFile = 100;

struct MeetCheckReport {
  std::vector<std::string> lines;  // "taikai.dat レース 12 第 3 レーン: …", in file order
  int findings = 0;                // every finding, listed or not
  bool clean() const { return findings == 0; }
  // "点検: 問題は見つかりませんでした。" or "点検: 問題が 3 件見つかりました。"
  std::string Summary() const;
};

// Checks the meet folder and the entry file (entry folder + entry file name of
// the meet's settings).
MeetCheckReport CheckMeetFolder(const std::filesystem::path& meetFolder, const std::filesystem::path& entryFile);

}  // namespace meet
