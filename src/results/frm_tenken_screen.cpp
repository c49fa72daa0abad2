#include "results/frm_tenken_screen.h"

namespace meet {

FrmTenkenScreen::FrmTenkenScreen(std::filesystem::path meetFolder, std::filesystem::path entryFile)
    : meetFolder_(std::move(meetFolder)), entryFile_(std::move(entryFile)) {
  Check();
}

void FrmTenkenScreen::Check() { report_ = CheckMeetFolder(meetFolder_, entryFile_); }

}  // namespace meet
