#include "print/frm_lp_page_screen.h"

#include "core/numbers.h"
#include "print/program_print.h"

namespace meet {

FrmLpPageScreen::FrmLpPageScreen(std::filesystem::path meetFolder, Settings settings)
    : meet_{std::move(meetFolder), std::move(settings)} {}

void FrmLpPageScreen::OpenOnRace(int race) {
  const int page = PageOfRace(meet_.meetFolder, race);
  if (page > 0) OpenOnPage(page);
}

void FrmLpPageScreen::OpenOnPage(int page) { txtLpS = txtLpE = NumberText(page); }

Result<int> FrmLpPageScreen::cmdZikko(Platform& platform) {
  const int64_t from = LeadingNumber(txtLpS), to = LeadingNumber(txtLpE), copies = LeadingNumber(txtMaisu);
  if (from < 1 || to < 1) return Fail(ErrorKind::Invalid, "ページ番号は1以上を指定してください。");
  if (from > 32757 || to > 32757) return Fail(ErrorKind::Invalid, "ページ番号が大きすぎます。");
  if (copies < 1 || copies > 99) return Fail(ErrorKind::Invalid, "枚数は1～99で指定してください。");
  return PrintProgramPages(platform, meet_, static_cast<int>(from), static_cast<int>(to), static_cast<int>(copies),
                           officialsCopy);
}

}  // namespace meet
