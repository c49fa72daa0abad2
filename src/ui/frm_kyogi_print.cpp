// The race screen's print menu "印刷": the results of the race's event, the
// race sheet and the lap sheet of the race shown, and program printing on the
// page that holds it; "プレビュー" (chkPreview) sends the printout to the
// print preview instead of the printer.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "race/kyogi_print_menu.h"
#include "ui/frm_kyogi.h"
#include "ui/frm_lp_page.h"
#include "ui/widget_kit.h"

namespace meet::ui {

void FrmKyogi::WirePrintMenu(QMenuBar* bar) {
  QMenu* menu = bar->findChild<QMenu*>("mInsatu");
  if (!menu) return;
  menu->addSeparator();
  QAction* preview = menu->addAction(Q(kChkPreviewCaption));
  preview->setObjectName("chkPreview");
  preview->setCheckable(true);
  preview->setChecked(false);

  auto enable = [&](const char* name) -> QAction* {
    QAction* a = menu->findChild<QAction*>(name);
    if (a) {
      a->setEnabled(true);
      a->setToolTip({});
    }
    return a;
  };
  using MenuPrint = Status (*)(const FrmKyogiScreen&, Platform&);
  const std::pair<const char*, MenuPrint> printers[] = {{"mLpRank", &mLpRank}, {"mLpRace", &mLpRace}, {"mLpLap", &mLpLap}};
  for (auto [name, print] : printers) {
    if (QAction* a = enable(name))
      connect(a, &QAction::triggered, this, [this, preview, print = print] {
        PrintTo(preview->isChecked(), screen_.meetFolder(), platform_,
                [this, print](Platform& on) { return print(screen_, on); });
      });
  }
  if (QAction* page = enable("mLpPage"))
    connect(page, &QAction::triggered, this, [this] {
      if (clock_) clock_->stop();
      ShowFrmLpPageForRace(this, screen_.meetFolder(), screen_.settings(), screen_.currentRace(), platform_);
      if (clock_) clock_->start();
      Redraw();
      Focus(ToiFocus());
    });
}

}  // namespace meet::ui
