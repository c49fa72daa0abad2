#include "ui/frm_hangumi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

FrmHangumi::FrmHangumi(std::filesystem::path meetFolder, Settings settings, Platform& platform, QWidget* parent)
    : QWidget(parent), screen_(std::move(meetFolder), std::move(settings), platform), platform_(platform) {
  setObjectName("frmHangumi");
  setWindowTitle(Q(kHangumiCaption));
  auto* top = new QVBoxLayout(this);

  auto addBox = [&](const HangumiCheckBox& box) {
    auto* check = new QCheckBox(Q(box.caption));
    check->setObjectName(box.name);
    check->setChecked(screen_.options().*box.field);
    boxes_[box.name] = check;
    top->addWidget(check);
  };
  // The screen's order: six boxes, the pattern, the last box, the buttons.
  for (size_t k = 0; k + 1 < kHangumiCheckBoxes.size(); ++k) addBox(kHangumiCheckBoxes[k]);

  auto* patternRow = new QHBoxLayout;
  auto* label = new QLabel(Q(kCboPatternLabel));
  label->setObjectName("lblPattern");
  patternRow->addWidget(label);
  cboPattern_ = new QComboBox;
  cboPattern_->setObjectName("cboPattern");
  for (const char* item : kCboPatternItems) cboPattern_->addItem(Q(item));
  cboPattern_->setCurrentIndex(screen_.cboPattern());
  label->setBuddy(cboPattern_);
  patternRow->addWidget(cboPattern_);
  patternRow->addStretch(1);
  top->addLayout(patternRow);

  addBox(kHangumiCheckBoxes.back());

  auto* buttons = new QHBoxLayout;
  auto* shoki = new QPushButton(Q(kCmdShokiCaption));
  shoki->setObjectName("cmdShoki");
  auto* zikko = new QPushButton(Q(kCmdZikkoCaption));
  zikko->setObjectName("cmdZikko");
  buttons->addWidget(shoki);
  buttons->addWidget(zikko);
  top->addLayout(buttons);

  connect(shoki, &QPushButton::clicked, this, &FrmHangumi::Shoki);
  connect(zikko, &QPushButton::clicked, this, &FrmHangumi::Zikko);
}

void FrmHangumi::PullOptions() {
  for (const HangumiCheckBox& box : kHangumiCheckBoxes)
    screen_.options().*box.field = boxes_.at(box.name)->isChecked();
  screen_.SetCboPattern(cboPattern_->currentIndex());
}

void FrmHangumi::Shoki() {
  auto reset = screen_.Shoki();
  if (!reset) platform_.dialogs.Notify(reset.error().message);
}

void FrmHangumi::Zikko() {
  PullOptions();
  auto run = screen_.Zikko();
  if (!run) {
    // A Cancel answer needs no notice: the operator chose it.
    if (run.error().kind != ErrorKind::Cancelled) platform_.dialogs.Notify(run.error().message);
    return;
  }
  if (!run->warnings.empty()) {
    std::string text;
    for (const std::string& warning : run->warnings) text += warning + "\n";
    platform_.dialogs.Notify(text);
  }
  if (screen_.closed()) close();
}

void RegisterFrmHangumi() {
  RegisterScreen("cmdHangumi", [](const HubState& state, Platform& platform) -> QWidget* {
    return new FrmHangumi(state.folders.meetFolder, state.settings, platform);
  });
}

}  // namespace meet::ui
