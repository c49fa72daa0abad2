#include "ui/frm_mkkyogi.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/widget_kit.h"

namespace meet::ui {

namespace {

// The boxes left to right under the heading, with the field each holds.
struct Box {
  const char* name;
  std::string TitleBoxes::*field;
  int width;
};
const Box kBoxes[] = {
    {"txtNo", &TitleBoxes::txtNo, 40},         {"txtSei", &TitleBoxes::txtSei, 40},
    {"txtKubun1", &TitleBoxes::txtKubun1, 50}, {"txtKubun2", &TitleBoxes::txtKubun2, 50},
    {"txtShu", &TitleBoxes::txtShu, 40},       {"txtYoketu", &TitleBoxes::txtYoketu, 40},
    {"txtTKumi", &TitleBoxes::txtTKumi, 40},   {"txtKumi", &TitleBoxes::txtKumi, 40},
    {"txtJikan", &TitleBoxes::txtJikan, 70},   {"txtRirei", &TitleBoxes::txtRirei, 50},
};

}  // namespace

FrmmKkyogi::FrmmKkyogi(const std::filesystem::path& meetFolder, int currentRace, Platform& platform, QWidget* parent)
    : QDialog(parent), screen_(meetFolder, currentRace, platform.clock, platform.dialogs), platform_(platform) {
  setObjectName("frmmKkyogi");
  setWindowTitle(Q(kMkkyogiCaption));
  setModal(true);
  loaded_ = screen_.Open();

  auto* top = new QVBoxLayout(this);
  QLabel* heading = Label("Label1", Q(kMkkyogiHeading));
  heading->setFont(ListFont());
  top->addWidget(heading);
  auto* row = new QHBoxLayout;
  for (size_t i = 0; i < std::size(kBoxes); ++i) {
    auto* e = new QLineEdit(Q(screen_.boxes.*kBoxes[i].field));
    e->setObjectName(kBoxes[i].name);
    e->setFixedWidth(kBoxes[i].width);
    boxes_[i] = e;
    row->addWidget(e);
  }
  row->addStretch(1);
  top->addLayout(row);

  auto* frame = new QGroupBox(Q(kSohnyuFrame));
  frame->setObjectName("fraSohnyu");
  auto* frameRow = new QHBoxLayout(frame);
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    auto* option = new QRadioButton(Q(kSohnyuCaptions[i]));
    option->setObjectName(Indexed("optSohnyu", i));
    group->addButton(option, i);
    optSohnyu_[static_cast<size_t>(i)] = option;
    frameRow->addWidget(option);
  }
  optSohnyu_[0]->setChecked(true);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(frame);
  bottom->addStretch(1);
  QPushButton* zikko = Button("cmdZikko", Q(kZikkoCaption));
  connect(zikko, &QPushButton::clicked, this, &FrmmKkyogi::Zikko);
  bottom->addWidget(zikko);
  top->addLayout(bottom);
}

void FrmmKkyogi::Zikko() {
  for (size_t i = 0; i < std::size(kBoxes); ++i) screen_.boxes.*kBoxes[i].field = S(boxes_[i]->text());
  screen_.optSohnyu = optSohnyu_[1]->isChecked()   ? Insertion::Event
                      : optSohnyu_[2]->isChecked() ? Insertion::Heat
                                                   : Insertion::None;
  auto done = screen_.cmdZikko();
  if (!done) {
    // Cancel on the insertion's question leaves the dialog open as it was.
    if (done.error().kind == ErrorKind::Cancelled) return;
    platform_.dialogs.Notify(done.error().message);
    // A failure that could not be put back still closes: the race screen
    // must show what is on disk.
    if (!screen_.wroteRaceFile()) return;
  } else {
    change_ = *done;
  }
  accept();
}

std::string ShowFrmmKkyogi(QWidget* parent, const std::filesystem::path& meetFolder, int currentRace,
                           Platform& platform) {
  FrmmKkyogi dialog(meetFolder, currentRace, platform, parent);
  if (!dialog.loadStatus()) {
    platform.dialogs.Notify(dialog.loadStatus().error().message);
    return {};
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  return InsertionSummary(dialog.change());
}

}  // namespace meet::ui
