#include "ui/frm_ranking.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

namespace {

// The meet as the hub holds it: its settings, read from the entry file the
// hub's folders name.
MeetFiles MeetOf(const HubState& state) {
  MeetFiles meet{state.folders.meetFolder, state.settings};
  if (!state.folders.entryFolder.empty()) {
    meet.settings.entryFolder = state.folders.entryFolder;
    meet.settings.entryFileName = state.folders.entryFileName;
  }
  return meet;
}

}  // namespace

FrmRanking::FrmRanking(const HubState& state, Platform& platform, QWidget* parent)
    : QWidget(parent),
      screen_(MeetOf(state)),
      platform_(platform) {
  setObjectName("frmRanking");
  setWindowTitle(Q(kRankingCaption));
  auto* top = new QVBoxLayout(this);

  // The option frames, each an exclusive group.
  auto* frames = new QGridLayout;
  const auto& all = RankingFrames();
  for (size_t f = 0; f < all.size(); ++f) {
    auto* box = new QGroupBox(Q(all[f].caption));
    box->setObjectName(Q(std::string("fra") + all[f].control));
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(this);
    for (size_t i = 0; i < all[f].options.size(); ++i) {
      auto* option = new QRadioButton(Q(all[f].options[i]));
      option->setObjectName(Indexed(Q(all[f].control), static_cast<int>(i)));
      group->addButton(option, static_cast<int>(i));
      layout->addWidget(option);
      connect(option, &QRadioButton::clicked, this, [this, f, i] {
        screen_.ClickOption(static_cast<int>(f), static_cast<int>(i));
        Show();
      });
      options_[f].push_back(option);
    }
    layout->addStretch(1);
    frames->addWidget(box, 0, static_cast<int>(f));
  }
  top->addLayout(frames);

  // The ranges, the rank limit and the registration number.
  auto* boxes = new QGridLayout;
  auto edit = [this](const QString& name, int width) {
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setFixedWidth(width);
    return e;
  };
  for (size_t r = 0; r < kRankingRanges.size(); ++r) {
    const int row = static_cast<int>(r);
    boxes->addWidget(new QLabel(Q(kRankingRanges[r].label)), row, 0);
    for (int end = 0; end < 2; ++end) {
      QLineEdit* e = edit(Indexed(Q(kRankingRanges[r].control), end), 60);
      connect(e, &QLineEdit::textEdited, this,
              [this, row, end](const QString& t) { screen_.txtRange(row, end) = S(t); });
      ranges_[r][static_cast<size_t>(end)] = e;
      boxes->addWidget(e, row, 1 + 2 * end);
    }
    boxes->addWidget(new QLabel(QStringLiteral("～")), row, 2);
  }
  txtJun_ = edit("txtJun", 60);
  connect(txtJun_, &QLineEdit::textEdited, this, [this](const QString& t) { screen_.txtJun() = S(t); });
  boxes->addWidget(new QLabel(Q(kJunLabel)), 0, 4);
  boxes->addWidget(txtJun_, 0, 5);
  txtQBan_ = edit("txtQBan", 140);
  connect(txtQBan_, &QLineEdit::textEdited, this, [this](const QString& t) { screen_.txtQBan() = S(t); });
  boxes->addWidget(new QLabel(Q(kQBanLabel)), 1, 4);
  boxes->addWidget(txtQBan_, 1, 5);

  chkInsatu_ = new QCheckBox(Q(kInsatuCaption));
  chkInsatu_->setObjectName("chkInsatu");
  connect(chkInsatu_, &QCheckBox::clicked, this, [this](bool on) {
    screen_.ClickInsatu(on);
    Show();
  });
  chkHtml_ = new QCheckBox(Q(kHtmlCaption));
  chkHtml_->setObjectName("chkHtml");
  connect(chkHtml_, &QCheckBox::clicked, this, [this](bool on) {
    screen_.ClickHtml(on);
    Show();
  });
  chkHiroshima_ = new QCheckBox(Q(kHiroshimaCaption));
  chkHiroshima_->setObjectName("chkHiroshima");
  chkHiroshima_->setToolTip(Q(kHiroshimaTip));
  connect(chkHiroshima_, &QCheckBox::clicked, this, [this](bool on) { screen_.ClickHiroshima(on); });
  boxes->addWidget(chkInsatu_, 2, 4);
  boxes->addWidget(chkHtml_, 2, 5);
  boxes->addWidget(chkHiroshima_, 3, 4);
  top->addLayout(boxes);

  txtHyoji_ = new QLineEdit;
  txtHyoji_->setObjectName("txtHyoji");
  txtHyoji_->setReadOnly(true);
  top->addWidget(txtHyoji_);

  auto* buttons = new QHBoxLayout;
  cmdZikko_ = Button("cmdZikko", Q(kZikkoCaption));
  cmdOwari_ = Button("cmdOwari", Q(kRankingOwariCaption));
  connect(cmdZikko_, &QPushButton::clicked, this, &FrmRanking::Run);
  connect(cmdOwari_, &QPushButton::clicked, this, [this] { close(); });
  buttons->addWidget(cmdZikko_);
  buttons->addWidget(cmdOwari_);
  top->addLayout(buttons);
  Show();
}

void FrmRanking::Show() {
  for (size_t f = 0; f < options_.size(); ++f)
    for (size_t i = 0; i < options_[f].size(); ++i) {
      QSignalBlocker block(options_[f][i]);
      options_[f][i]->setChecked(screen_.option(static_cast<int>(f)) == static_cast<int>(i));
    }
  for (size_t r = 0; r < ranges_.size(); ++r)
    for (int end = 0; end < 2; ++end) {
      QLineEdit* e = ranges_[r][static_cast<size_t>(end)];
      const QString text = Q(screen_.txtRange(static_cast<int>(r), end));
      if (e->text() != text) e->setText(text);
    }
  if (txtJun_->text() != Q(screen_.txtJun())) txtJun_->setText(Q(screen_.txtJun()));
  if (txtQBan_->text() != Q(screen_.txtQBan())) txtQBan_->setText(Q(screen_.txtQBan()));
  QSignalBlocker b1(chkInsatu_), b2(chkHtml_), b3(chkHiroshima_);
  chkInsatu_->setChecked(screen_.chkInsatu());
  chkInsatu_->setEnabled(screen_.chkInsatuEnabled());
  chkHtml_->setChecked(screen_.chkHtml());
  chkHtml_->setEnabled(screen_.chkHtmlEnabled());
  chkHiroshima_->setChecked(screen_.chkHiroshima());
  txtHyoji_->setText(Q(screen_.txtHyoji()));
}

void FrmRanking::Run() {
  if (screen_.running()) return;
  auto begun = screen_.Begin(platform_);
  if (!begun) {
    Show();
    platform_.dialogs.Notify(begun.error().message);
    return;
  }
  cmdZikko_->setEnabled(false);
  cmdOwari_->setEnabled(false);
  Show();
  QTimer::singleShot(0, this, &FrmRanking::NextStep);
}

// One event per turn of the event loop: the window repaints and answers in
// between.
void FrmRanking::NextStep() {
  const bool more = screen_.Step();
  txtHyoji_->setText(Q(screen_.txtHyoji()));
  if (more)
    QTimer::singleShot(0, this, &FrmRanking::NextStep);
  else
    Done();
}

void FrmRanking::Done() {
  auto done = screen_.Finish();
  cmdZikko_->setEnabled(true);
  cmdOwari_->setEnabled(true);
  Show();
  if (!done) {
    platform_.dialogs.Notify(done.error().message);
    return;
  }
  // Said before the screen goes back to the hub, and kept in txtHyoji otherwise.
  if (!done->leftOutNote.empty()) platform_.dialogs.Notify(done->leftOutNote);
  if (done->closeScreen) close();
}

void FrmRanking::closeEvent(QCloseEvent* event) {
  // A run in progress finishes first: no half printout, no half file.
  if (screen_.running()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void RegisterFrmRanking() {
  RegisterScreen("cmdAto", [](const HubState& state, Platform& platform) -> QWidget* {
    return new FrmRanking(state, platform);
  });
}

}  // namespace meet::ui
