// meetdesk: the screens of the meet desk, starting at the hub frmKijun.
//   meetdesk [--ctl FILE] [--print TARGET] [--check]
// --ctl names the folder configuration (else MEETDESK_CTL, else
// ../ctl/dr_kyo.ctl); --print the printer target (else MEETDESK_PRINT, else
// the system printer); --check opens the hub, lets it draw and quits after
// 200 ms (headless runs).
#include <QTimer>
#include <iostream>
#include <memory>

#include "core/meet_lock.h"
#include "platform/printer_factory.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_launcher.h"
#include "settings/folders.h"
#include "ui/frm_hangumi.h"
#include "ui/frm_kekka.h"
#include "ui/frm_kijun.h"
#include "ui/frm_kyogi.h"
#include "ui/frm_lp_page.h"
#include "ui/frm_mk_page.h"
#include "ui/frm_opt_kubun.h"
#include "ui/frm_projun.h"
#include "ui/frm_race.h"
#include "ui/frm_ranking.h"
#include "ui/frm_shikaku.h"
#include "ui/frm_tokuten.h"
#include "ui/meet_lock_gate.h"

namespace {

struct Options {
  std::string ctl;
  std::string print;
  bool check = false;
};

// The screens built so far, each under the hub button that opens it. A hub
// button whose screen is not registered stays disabled.
void RegisterScreens() {
  meet::ui::RegisterFrmKyogi();
  meet::ui::RegisterFrmRace();
  meet::ui::RegisterFrmHangumi();
  meet::ui::RegisterFrmProjun();
  meet::ui::RegisterFrmShikaku();
  meet::ui::RegisterFrmMkPage();
  meet::ui::RegisterFrmLpPage();
  meet::ui::RegisterFrmOptKubun();
  meet::ui::RegisterFrmKekka();
  meet::ui::RegisterFederationReport();
  meet::ui::RegisterFrmTokuten();
  meet::ui::RegisterFrmRanking();
}

bool ParseOptions(const QStringList& args, Options& options) {
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == "--check") {
      options.check = true;
    } else if (a == "--ctl" || a == "--print") {
      if (i + 1 >= args.size()) {
        std::cerr << "meetdesk: " << a.toStdString() << " の後に値が必要です。\n";
        return false;
      }
      (a == "--ctl" ? options.ctl : options.print) = args[++i].toStdString();
    } else {
      std::cerr << "meetdesk: 不明な引数です: " << a.toStdString()
                << "（meetdesk [--ctl FILE] [--print TARGET] [--check]）\n";
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  meet::ui::LockingApplication app(argc, argv);
  meet::SetLockProgram("meetdesk");
  Options options;
  if (!ParseOptions(app.arguments(), options)) return 2;

  // The preview target shows each document in Qt's print preview; offscreen it
  // writes PDF into the print/ folder of the meet folder then in use.
  meet::PreviewSetup preview{[ctl = options.ctl] {
                               meet::Folders folders;
                               meet::LoadFolders(meet::FolderConfigPath(ctl), folders);
                               return folders.meetFolder;
                             },
                             true};
  auto printer = meet::MakePrinter(meet::PrinterTargetFromEnvironment(options.print), preview);
  if (!printer) {
    std::cerr << "meetdesk: " << printer.error().message << '\n';
    return 2;
  }
  // Where each PDF went (pdf:, and preview without a window system).
  (*printer)->SetFileListener([](const std::string& file) { std::cout << "PDF: " << file << std::endl; });
  meet::QtDialogs dialogs;
  meet::SystemClock clock;
  meet::QtLauncher launcher;
  meet::Platform platform{**printer, dialogs, clock, launcher};

  // Every key press and click runs under the lock of the meet folder in use.
  app.SetMeetFolder([ctl = options.ctl] {
    meet::Folders folders;
    meet::LoadFolders(meet::FolderConfigPath(ctl), folders);
    return folders.meetFolder;
  });
  app.SetDialogs(&dialogs);

  RegisterScreens();
  meet::ui::FrmKijun::OpenHub(meet::FolderConfigPath(options.ctl), platform);
  if (options.check) QTimer::singleShot(200, &app, &QApplication::quit);
  return app.exec();
}
