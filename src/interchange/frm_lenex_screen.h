// The hub's "Lenex" window without its widgets: the file to write, what it
// holds (results, start list or entries), whether masked swimmers are shown,
// and the line saying what was written. `meetctl lenex export` drives the
// same class.
#pragma once

#include <filesystem>
#include <string>

#include "core/error.h"
#include "interchange/lenex_export.h"
#include "print/print_sources.h"

namespace meet {

class FrmLenexScreen {
 public:
  // `meet.settings` carries the entry file in use.
  explicit FrmLenexScreen(MeetFiles meet);

  // The options "結果" (0), "スタートリスト" (1), "エントリー" (2). Choosing
  // one puts its own file name into the box while the box holds the
  // previous choice's.
  void ChooseKind(LenexKind kind);
  LenexKind kind() const { return options_.kind; }
  int optShurui() const { return static_cast<int>(options_.kind); }
  void ClickUnmask(bool on) { options_.unmask = on; }
  bool chkHiroshima() const { return options_.unmask; }
  std::string& txtFile() { return file_; }
  const std::string& lblResult() const { return result_; }

  // The file a kind is written to by default: the meet folder + the meet's
  // abbreviation + "_results.lxf" / "_startlist.lxf" / "_entries.lxf".
  std::filesystem::path DefaultFile(LenexKind kind) const;

  // "書出": builds the file and writes it whole; the result line says what it
  // holds. On failure nothing is written and the line holds the message.
  Result<LenexCounts> ClickExport();

 private:
  MeetFiles meet_;
  LenexExportOptions options_;
  std::string file_, result_;
};

// The line after an export: "結果 … を書き出しました: FILE（…）".
std::string LenexSummary(LenexKind kind, const std::filesystem::path& file, const LenexCounts& counts);

}  // namespace meet
