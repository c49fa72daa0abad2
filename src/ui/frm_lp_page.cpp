#include "ui/frm_lp_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/preview_printer.h"
#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

FrmLpPage::FrmLpPage(std::filesystem::path meetFolder, Settings settings, Platform& platform, QWidget* parent)
    : QDialog(parent), meetFolder_(meetFolder), screen_(std::move(meetFolder), std::move(settings)),
      platform_(platform) {
  setObjectName("frmLpPage");
  setWindowTitle(Q(kLpPageCaption));
  auto* grid = new QGridLayout(this);
  auto edit = [&](const char* name) {
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setFixedWidth(60);
    return e;
  };
  txtLpS_ = edit("txtLpS");
  txtLpE_ = edit("txtLpE");
  txtMaisu_ = edit("txtMaisu");
  grid->addWidget(txtLpS_, 0, 0);
  grid->addWidget(Label("Label1", "->"), 0, 1);
  grid->addWidget(txtLpE_, 0, 2);
  grid->addWidget(Label("Label2", "枚数"), 1, 0);
  grid->addWidget(txtMaisu_, 1, 2);
  auto* chkYakuin = new QCheckBox(Q(kChkYakuinCaption));
  chkYakuin->setObjectName("chkYakuin");
  connect(chkYakuin, &QCheckBox::clicked, this, [this](bool ticked) { screen_.officialsCopy = ticked; });
  grid->addWidget(chkYakuin, 2, 0, 1, 3);
  chkPreview_ = new QCheckBox(Q(kChkPreviewCaption));
  chkPreview_->setObjectName("chkPreview");
  grid->addWidget(chkPreview_, 3, 0, 1, 3);
  auto* zikko = Button("cmdZikko", Q(kLpZikkoCaption));
  connect(zikko, &QPushButton::clicked, this, &FrmLpPage::Zikko);
  grid->addWidget(zikko, 4, 0, 1, 3);
  Show();
}

void FrmLpPage::Show() {
  txtLpS_->setText(Q(screen_.txtLpS));
  txtLpE_->setText(Q(screen_.txtLpE));
  txtMaisu_->setText(Q(screen_.txtMaisu));
}

void FrmLpPage::Zikko() {
  screen_.txtLpS = S(txtLpS_->text());
  screen_.txtLpE = S(txtLpE_->text());
  screen_.txtMaisu = S(txtMaisu_->text());
  bool printed = false;
  PrintTo(chkPreview_->isChecked(), meetFolder_, platform_, [&](Platform& on) -> Status {
    auto sheets = screen_.cmdZikko(on);
    if (!sheets) return std::unexpected(sheets.error());
    printed = true;
    return {};
  });
  if (printed) accept();
}

void PrintTo(bool preview, const std::filesystem::path& meetFolder, Platform& platform,
             const std::function<Status(Platform&)>& print) {
  Status ok;
  std::vector<std::string> pdfs;
  if (preview) {
    PreviewPrinter printer([folder = meetFolder.string()] { return folder; }, true);
    printer.SetTargetName("preview");
    Platform onPreview{printer, platform.dialogs, platform.clock, platform.launcher};
    ok = print(onPreview);
    pdfs = printer.filesWritten();  // no window system: PDF instead of the preview
  } else {
    ok = print(platform);
  }
  if (!ok && ok.error().kind != ErrorKind::Cancelled) platform.dialogs.Notify(ok.error().message);
  if (!pdfs.empty()) {
    std::string text = kPreviewAsPdf;
    for (const std::string& file : pdfs) text += "\n" + file;
    platform.dialogs.Notify(text);
  }
}

void ShowFrmLpPageForRace(QWidget* parent, const std::filesystem::path& meetFolder, const Settings& settings,
                          int race, Platform& platform) {
  FrmLpPage dialog(meetFolder, settings, platform, parent);
  dialog.screen().OpenOnRace(race);
  dialog.Show();
  dialog.exec();
}

void RegisterFrmLpPage() {
  RegisterScreen("cmdLpPage", [](const HubState& state, Platform& platform) -> QWidget* {
    return new FrmLpPage(state.folders.meetFolder, state.settings, platform);
  });
}

}  // namespace meet::ui
