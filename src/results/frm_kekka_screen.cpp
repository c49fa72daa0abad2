#include "results/frm_kekka_screen.h"

#include "core/numbers.h"

namespace meet {

FrmKekkaScreen::FrmKekkaScreen(std::filesystem::path meetFolder, const HubState& state)
    : meetFolder_(std::move(meetFolder)), state_(state) {
  txtFile_ = ResultFileNameFor(state.folders.entryFileName);
  lblPath_ = state.folders.entryFolder;
}

void FrmKekkaScreen::ClickYoketu(int option) {
  if (option != 0 && option != 1) return;
  yoketu_ = option;
  if (option == 1) {
    tochu_ = {false, false};
    tochuEnabled_ = false;
    ninEnabled_ = true;
    txtNin_ = NumberText(state_.settings.laneCount);
  } else {
    tochuEnabled_ = true;
    txtNin_ = "0";
    ninEnabled_ = false;
  }
}

void FrmKekkaScreen::ClickKubun(int i, bool ticked) {
  if (i < 0 || i > 2) return;
  kubun_[static_cast<size_t>(i)] = ticked;
  if (i == kWriteResults) {
    if (ticked) {
      yoketuEnabled_ = true;
    } else {
      txtNin_ = "0";
      ClickYoketu(0);
      yoketuEnabled_ = false;
    }
  } else if (i == kWriteStandards) {
    kirokuEnabled_ = ticked;
    if (!ticked) kiroku_ = -1;
  }
}

void FrmKekkaScreen::ClickKiroku(int option) {
  if (option >= 0 && option <= 2 && kirokuEnabled_) kiroku_ = option;
}

void FrmKekkaScreen::ClickTochu(int i, bool ticked) {
  if (i >= 0 && i <= 1 && tochuEnabled_) tochu_[static_cast<size_t>(i)] = ticked;
}

ResultFileOptions FrmKekkaScreen::Options() const {
  ResultFileOptions o;
  o.dropEmpty = kubun_[kDropEmpty];
  o.writeResults = kubun_[kWriteResults];
  o.finalsOnly = o.writeResults && yoketu_ == 1;
  o.places = static_cast<int>(LeadingInt32(txtNin_));
  o.writeStandards = kubun_[kWriteStandards];
  o.standard = static_cast<StandardChoice>(kiroku_);
  o.with800 = tochu_[0];
  o.withFirstLeg = tochu_[1];
  return o;
}

Result<ResultFileOutcome> FrmKekkaScreen::Run() const {
  return MakeResultFile(meetFolder_, state_.folders.entryFolder, state_.folders.entryFileName, txtFile_,
                        state_.settings, Options());
}

}  // namespace meet
