#include "ui/frm_kekka.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "results/federation_export.h"
#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

FrmKekka::FrmKekka(const HubState& state, Platform& platform, QWidget* parent)
    : QWidget(parent), screen_(state.folders.meetFolder, state), platform_(platform) {
  setObjectName("frmKekka");
  setWindowTitle(Q(kKekkaCaption));
  auto* top = new QVBoxLayout(this);

  auto* fileRow = new QHBoxLayout;
  txtFile_ = new QLineEdit;
  txtFile_->setObjectName("txtFile");
  connect(txtFile_, &QLineEdit::textEdited, this, [this](const QString& t) { screen_.txtFile() = S(t); });
  lblPath_ = Label("lblPath");
  lblPath_->setFrameShape(QFrame::Panel);
  fileRow->addWidget(txtFile_, 1);
  fileRow->addWidget(lblPath_, 2);
  top->addLayout(fileRow);

  auto* kubun = new QGroupBox;
  auto* kubunLayout = new QGridLayout(kubun);
  for (int i = 0; i < 3; ++i) {
    auto* box = new QCheckBox(Q(kKubunCaptions[static_cast<size_t>(i)]));
    box->setObjectName(Indexed("chkKubun", i));
    if (i == kDropEmpty) box->setToolTip(Q(kKubunDropTip));
    connect(box, &QCheckBox::clicked, this, [this, i](bool on) {
      screen_.ClickKubun(i, on);
      Show();
    });
    chkKubun_[static_cast<size_t>(i)] = box;
  }
  kubunLayout->addWidget(chkKubun_[kDropEmpty], 0, 0, 1, 4);

  // 結果記録の書出 with its stage options and places.
  kubunLayout->addWidget(chkKubun_[kWriteResults], 1, 0);
  auto* yoketu = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    auto* option = new QRadioButton(Q(kYoketuCaptions[static_cast<size_t>(i)]));
    option->setObjectName(Indexed("optYoketu", i));
    yoketu->addButton(option, i);
    connect(option, &QRadioButton::clicked, this, [this, i] {
      screen_.ClickYoketu(i);
      Show();
    });
    optYoketu_[static_cast<size_t>(i)] = option;
    kubunLayout->addWidget(option, 1, 1 + i);
  }
  auto* nin = new QHBoxLayout;
  txtNin_ = new QLineEdit;
  txtNin_->setObjectName("txtNin");
  txtNin_->setFixedWidth(40);
  connect(txtNin_, &QLineEdit::textEdited, this, [this](const QString& t) { screen_.txtNin() = S(t); });
  nin->addWidget(txtNin_);
  nin->addWidget(new QLabel(Q(kNinLabel)));
  kubunLayout->addLayout(nin, 1, 3);

  // 標準突破記録の書出 with the standard to use.
  kubunLayout->addWidget(chkKubun_[kWriteStandards], 2, 0);
  kiroku_ = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    auto* option = new QRadioButton(Q(kKirokuCaptions[static_cast<size_t>(i)]));
    option->setObjectName(Indexed("optKiroku", i));
    kiroku_->addButton(option, i);
    connect(option, &QRadioButton::clicked, this, [this, i] {
      screen_.ClickKiroku(i);
      Show();
    });
    optKiroku_[static_cast<size_t>(i)] = option;
    kubunLayout->addWidget(option, 2, 1 + i);
  }
  top->addWidget(kubun);

  for (int i = 0; i < 2; ++i) {
    auto* box = new QCheckBox(Q(kTochuCaptions[static_cast<size_t>(i)]));
    box->setObjectName(Indexed("chkTochu", i));
    connect(box, &QCheckBox::clicked, this, [this, i](bool on) {
      screen_.ClickTochu(i, on);
      Show();
    });
    chkTochu_[static_cast<size_t>(i)] = box;
    top->addWidget(box);
  }

  command1_ = Button("Command1", Q(kRunCaption));
  command1_->setMinimumHeight(36);
  connect(command1_, &QPushButton::clicked, this, &FrmKekka::Run);
  top->addWidget(command1_);
  Show();
}

void FrmKekka::Show() {
  if (txtFile_->text() != Q(screen_.txtFile())) txtFile_->setText(Q(screen_.txtFile()));
  lblPath_->setText(Q(screen_.lblPath()));
  txtNin_->setText(Q(screen_.txtNin()));
  txtNin_->setEnabled(screen_.txtNinEnabled());
  for (int i = 0; i < 2; ++i) {
    QRadioButton* o = optYoketu_[static_cast<size_t>(i)];
    QSignalBlocker block(o);
    o->setChecked(screen_.optYoketu() == i);
    o->setEnabled(screen_.optYoketuEnabled());
  }
  for (int i = 0; i < 3; ++i) {
    QSignalBlocker block(chkKubun_[static_cast<size_t>(i)]);
    chkKubun_[static_cast<size_t>(i)]->setChecked(screen_.chkKubun(i));
  }
  // No standard selected: no option of the group is checked.
  kiroku_->setExclusive(false);
  for (int i = 0; i < 3; ++i) {
    QRadioButton* o = optKiroku_[static_cast<size_t>(i)];
    QSignalBlocker block(o);
    o->setChecked(screen_.optKiroku() == i);
    o->setEnabled(screen_.optKirokuEnabled());
  }
  kiroku_->setExclusive(true);
  for (int i = 0; i < 2; ++i) {
    QCheckBox* box = chkTochu_[static_cast<size_t>(i)];
    QSignalBlocker block(box);
    box->setChecked(screen_.chkTochu(i));
    box->setEnabled(screen_.chkTochuEnabled());
  }
}

void FrmKekka::Run() {
  screen_.txtFile() = S(txtFile_->text());
  screen_.txtNin() = S(txtNin_->text());
  auto done = screen_.Run();
  if (!done) {
    platform_.dialogs.Notify(done.error().message);
    return;
  }
  platform_.dialogs.Notify("結果ファイルを作成しました。\n" + done->resultFile.string() + "\n" +
                           done->ind2File.string() + "\n" + MeetDaysNote(done->firstDay));
  close();
}

void RegisterFrmKekka() {
  RegisterScreen("cmdKekka", [](const HubState& state, Platform& platform) -> QWidget* {
    return new FrmKekka(state, platform);
  });
}

void RegisterFederationReport() {
  RegisterScreen("cmdAto2", [](const HubState& state, Platform& platform) -> QWidget* {
    auto done = ExportFederationReport(state.folders.meetFolder, state.settings, state.folders.entryFolder,
                                       state.folders.entryFileName);
    platform.dialogs.Notify(done ? FederationReportNotice(*done) : done.error().message);
    return nullptr;  // a command, not a screen
  });
}

}  // namespace meet::ui
