// The program printing screen frmLpPage ("プログラム") without its widgets:
// the page fields txtLpS -> txtLpE, the copies txtMaisu ("1"), the officials'
// copy chkYakuin "競技役員" and "打出し" (cmdZikko). The officials' copy flag
// lives with the screen, so closing the screen drops it.
#pragma once

#include <filesystem>
#include <string>

#include "core/error.h"
#include "core/platform.h"
#include "print/print_sources.h"

namespace meet {

inline constexpr const char* kLpPageCaption = "プログラム";
inline constexpr const char* kChkYakuinCaption = "競技役員";
inline constexpr const char* kLpZikkoCaption = "打出し";
inline constexpr const char* kChkPreviewCaption = "プレビュー";

class FrmLpPageScreen {
 public:
  FrmLpPageScreen(std::filesystem::path meetFolder, Settings settings);

  // Opening from the race screen: the page that holds the race into both
  // page fields (both stay empty when no page holds it).
  void OpenOnRace(int race);
  void OpenOnPage(int page);

  std::string txtLpS, txtLpE;
  std::string txtMaisu = "1";
  bool officialsCopy = false;  // chkYakuin

  // "打出し": pages txtLpS..txtLpE, txtMaisu copies, read by the leading-digits
  // rule, printed as one document on the platform's printer. Returns the
  // sheets printed; a page below 1, an end before the start or no copies are
  // refused with a message and nothing is printed.
  Result<int> cmdZikko(Platform& platform);

 private:
  MeetFiles meet_;
};

}  // namespace meet
