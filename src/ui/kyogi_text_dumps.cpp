#include "ui/kyogi_text_dumps.h"

#include <QAction>
#include <QLineEdit>

#include "race/text_dumps.h"
#include "ui/widget_kit.h"

namespace meet::ui {

namespace {

std::string Done(const DumpOutcome& d, bool reading) {
  std::string text = reading ? d.textFile.string() + " から " + d.dataFile.string() + " へ "
                             : d.dataFile.string() + " から " + d.textFile.string() + " へ ";
  text += std::to_string(d.lines) + " 行を" + (reading ? "読み込みました。" : "書き出しました。");
  if (!d.backup.empty()) text += "\n元のファイル: " + d.backup.string();
  return text;
}

}  // namespace

void AttachTextDumps(QWidget* kyogi, std::filesystem::path meetFolder, Platform& platform,
                     std::function<void()> racesChanged) {
  auto* drT = kyogi->findChild<QLineEdit*>("txtDrT");
  if (!drT) return;
  drT->setEnabled(true);
  drT->setToolTip(Q("テキストファイルのフォルダー"));
  auto folderText = [drT] { return S(drT->text()); };
  auto enable = [&](const char* name) -> QAction* {
    auto* a = kyogi->findChild<QAction*>(Q(name));
    if (a) {
      a->setEnabled(true);
      a->setToolTip(QString());
    }
    return a;
  };
  for (DumpKind kind : {DumpKind::Races, DumpKind::Program, DumpKind::Pages, DumpKind::Relays}) {
    if (QAction* a = enable(DumpMenuItem(kind)))
      QObject::connect(a, &QAction::triggered, kyogi, [kind, meetFolder, &platform, folderText] {
        auto done = WriteDump(kind, meetFolder, folderText());
        platform.dialogs.Notify(done ? Done(*done, false) : done.error().message);
      });
  }
  if (QAction* a = enable("mInKyogi"))
    QObject::connect(a, &QAction::triggered, kyogi, [meetFolder, &platform, folderText, racesChanged] {
      auto done = ReadRacesDump(meetFolder, folderText(), platform);
      if (done && racesChanged) racesChanged();
      platform.dialogs.Notify(done ? Done(*done, true) : done.error().message);
    });
  if (QAction* a = enable("mInShikaku"))
    QObject::connect(a, &QAction::triggered, kyogi, [meetFolder, &platform, folderText] {
      auto done = ReadStandardsDump(meetFolder, folderText(), platform);
      platform.dialogs.Notify(done ? Done(*done, true) : done.error().message);
    });
}

}  // namespace meet::ui
