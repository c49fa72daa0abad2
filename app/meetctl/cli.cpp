#include "meetctl/cli.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iostream>
#include <cctype>
#include <map>

#include "core/file_names.h"
#include "core/meet_lock.h"
#include "core/numbers.h"
#include "core/time_code.h"
#include "platform/printer_factory.h"
#include "platform/qt_launcher.h"

namespace meet::cli {

namespace {

struct Verb {
  std::string usage;
  VerbHandler handler;
};

std::map<std::string, Verb>& Verbs() {
  static std::map<std::string, Verb> verbs;
  return verbs;
}

// Questions are answered by --yes / --no; without either, the answer is the
// safe one (Cancel / No). Notices go to stderr.
class CliDialogs : public Dialogs {
 public:
  CliDialogs(std::optional<bool> answer, std::ostream& err) : answer_(answer), err_(err) {}
  bool AskOkCancel(std::string_view text) override { return Answer(text); }
  bool AskYesNo(std::string_view text) override { return Answer(text); }
  void Notify(std::string_view text) override { err_ << text << '\n'; }
  std::optional<std::string> PickFolder(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> PickFile(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }

 private:
  bool Answer(std::string_view text) {
    std::string flat(text);
    std::replace(flat.begin(), flat.end(), '\n', ' ');
    err_ << flat << (answer_ ? (*answer_ ? " -> --yes" : " -> --no") : " -> no (--yes to answer OK)") << '\n';
    return answer_.value_or(false);
  }
  std::optional<bool> answer_;
  std::ostream& err_;
};

// MEETDESK_CLOCK=yyyymmddhhmmss fixes the clock (rehearsals, tests).
class CliClock : public Clock {
 public:
  DateTime Now() const override {
    if (const char* fixed = std::getenv("MEETDESK_CLOCK"); fixed && std::string(fixed).size() >= 8) {
      std::string s(fixed);
      s.resize(14, '0');
      auto num = [&](size_t at, size_t n) { return static_cast<int>(LeadingNumber(s.substr(at, n))); };
      return DateTime{num(0, 4), num(4, 2), num(6, 2), num(8, 2), num(10, 2), num(12, 2)};
    }
    return SystemClock().Now();
  }
};

std::unique_ptr<QApplication>& QtApplication() {
  static std::unique_ptr<QApplication> app;
  return app;
}

void EnsureQtApplication() {
  if (QCoreApplication::instance()) return;
  PrepareQtEnvironment();
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "meetctl";
  static char* argv[] = {name, nullptr};
  QtApplication() = std::make_unique<QApplication>(argc, argv);
}

bool Has(const std::vector<std::string>& args, std::string_view word) {
  return std::find(args.begin(), args.end(), word) != args.end();
}

// Whether a verb with these arguments writes the meet folder, and so holds
// its lock for the whole command. `timing finish` stands in for the timing
// system, which writes without it.
bool VerbWrites(const std::string& verb, const std::vector<std::string>& args) {
  const std::string sub = args.empty() ? std::string() : args[0];
  static const char* const kAlways[] = {"race confirm", "race reset", "race enter", "race title", "race move",
                                        "dump read",    "dump write", "pages set",  "pages insert", "pages delete",
                                        "pages build",  "points tally", "points print", "print program", "post",
                                        "result-file",  "federation-report", "seed", "seed next", "sample-standards"};
  for (const char* v : kAlways)
    if (verb == v) return true;
  if (verb == "relay order") return args.size() > 1;
  if (verb == "program") return sub != "list";
  if (verb.starts_with("categories ")) return verb != "categories list";
  if (verb == "settings") return sub == "set";
  if (verb == "standards") return sub == "set" || sub == "group" || sub == "init" || sub == "copy";
  if (verb == "points-table load") return true;
  if (verb == "ranking") return Has(args, "--html") || (Has(args, "--order") && Has(args, "event"));
  return false;
}

// The global options, which stand before the verb.
bool IsGlobalOption(std::string_view a) { return a == "--meet" || a == "--ctl" || a == "--print"; }

}  // namespace

VerbRegistration::VerbRegistration(std::string name, std::string usage, VerbHandler handler) {
  Verbs()[std::move(name)] = Verb{std::move(usage), std::move(handler)};
}

Context::Context(GlobalOptions options, std::istream& in_, std::ostream& out_, std::ostream& err_)
    : in(in_), out(out_), err(err_), options_(std::move(options)) {}

Context::~Context() = default;

std::filesystem::path Context::folderConfigFile() const { return FolderConfigPath(options_.ctl); }

Folders& Context::folders() {
  if (!folders_) {
    folders_.emplace();
    if (auto ok = LoadFolders(folderConfigFile(), *folders_); !ok) foldersError_ = ok.error();
  }
  return *folders_;
}

Result<std::string> Context::MeetFolder() {
  if (!options_.meet.empty()) return WithTrailingSeparator(options_.meet);
  std::string folder = folders().meetFolder;
  if (foldersError_) return std::unexpected(*foldersError_);
  if (folder.empty())
    return Fail(ErrorKind::NotFound, "大会フォルダーが決まっていません（--meet DIR で指定するか、フォルダー設定 " +
                                         folderConfigFile().string() + " を作ってください）。");
  return folder;
}

Result<MeetFiles> Context::HubMeetFiles() {
  auto meet = MeetFolder();
  if (!meet) return std::unexpected(meet.error());
  auto settings = LoadedSettings();
  if (!settings) return std::unexpected(settings.error());
  MeetFiles files{*meet, **settings};
  if (!folders().entryFolder.empty()) {
    files.settings.entryFolder = folders().entryFolder;
    files.settings.entryFileName = folders().entryFileName;
  }
  return files;
}

Result<Settings*> Context::LoadedSettings() {
  if (!settings_) {
    auto meet = MeetFolder();
    if (!meet) return std::unexpected(meet.error());
    Settings s;
    s.entryFolder = folders().entryFolder;
    s.entryFileName = folders().entryFileName;
    LoadSettings(*meet, s);
    settings_ = s;
  }
  return &*settings_;
}

Result<Printer*> Context::printer() {
  if (!printer_) {
    std::string target = PrinterTargetFromEnvironment(options_.print);
    if (PrinterTargetNeedsQt(target)) EnsureQtApplication();
    // The preview target writes PDF into the meet folder's print/ folder here.
    PreviewSetup preview{[this] {
                           auto meet = MeetFolder();
                           return meet ? *meet : std::string();
                         },
                         false};
    auto made = MakePrinter(target, preview);
    if (!made) return std::unexpected(made.error());
    printer_ = std::move(*made);
    // Every file a printout went into (pdf:, preview), one line each.
    printer_->SetFileListener([this](const std::string& file) { out << "PDF: " << file << '\n'; });
  }
  return printer_.get();
}

Result<Platform> Context::PlatformFor(bool printing) {
  Printer* target = nullptr;
  if (printing) {
    auto p = printer();
    if (!p) return std::unexpected(p.error());
    target = *p;
  } else {
    if (!noPrinter_) noPrinter_ = std::make_unique<NullPrinter>();
    target = noPrinter_.get();
  }
  return Platform{*target, dialogs(), clock(), launcher()};
}

Status Context::FinishPrinting() {
  if (printer_ && printer_->documentOpen()) return printer_->EndDoc();
  return {};
}

Dialogs& Context::dialogs() {
  if (!dialogs_) dialogs_ = std::make_unique<CliDialogs>(options_.answer, err);
  return *dialogs_;
}

Clock& Context::clock() {
  if (!clock_) clock_ = std::make_unique<CliClock>();
  return *clock_;
}

Launcher& Context::launcher() {
  if (!launcher_) launcher_ = std::make_unique<QtLauncher>();
  return *launcher_;
}

Result<std::string> MeetFolderToWrite(Context& ctx) {
  auto folder = ctx.MeetFolder();
  if (!folder) return folder;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(FindFile(*folder, kSettingsFileName), ec))
    return Fail(ErrorKind::NotFound, *folder + " は大会フォルダーではありません（" + kSettingsFileName +
                                         " がありません）。meetctl new で大会フォルダーを作ってください。");
  return folder;
}

int Failed(Context& ctx, const Error& error) {
  std::string flat = error.message;
  std::replace(flat.begin(), flat.end(), '\n', ' ');
  ctx.err << "meetctl: " << flat << '\n';
  return 1;
}

int UsageError(Context& ctx, const std::string& text) {
  ctx.err << "meetctl: " << text << '\n';
  return 2;
}

Result<std::optional<std::string>> TakeOption(std::vector<std::string>& args, const std::string& name) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end()) return std::optional<std::string>{};
  if (it + 1 == args.end()) return Fail(ErrorKind::Invalid, name + " の後に値が必要です。");
  std::string value = *(it + 1);
  args.erase(it, it + 2);
  return std::optional<std::string>(value);
}

bool TakeSwitch(std::vector<std::string>& args, const std::string& name) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end()) return false;
  args.erase(it);
  return true;
}

std::optional<int64_t> WholeNumber(std::string_view text) {
  int64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

Result<int> NumberInRange(const std::string& text, const std::string& what, int64_t low, int64_t high) {
  auto n = WholeNumber(text);
  if (!n) return Fail(ErrorKind::Invalid, what + "は数字で指定してください: " + text);
  if (*n < low || *n > high)
    return Fail(ErrorKind::Invalid, what + " " + text + " は範囲外です（" + std::to_string(low) + "～" +
                                        std::to_string(high) + "）。");
  return static_cast<int>(*n);
}

Result<std::string> TypedSwimTime(const std::string& text) {
  if (!HasTimeSeparator(text)) return text;
  const std::optional<int32_t> code = SeparatedSwimTime(text);
  if (!code || (*code >= 1 && *code <= 9))
    return Fail(ErrorKind::Invalid, "記録 " + text + " は読めません。1:05.23 や 35.12 の形（秒は 0～59、1/100 秒は 2 桁）か、" +
                                        "10523 のように数字だけで書いてください。");
  return NumberText(*code);
}

std::vector<std::string> UsageOptions(std::string_view usage) {
  std::vector<std::string> options;
  for (size_t at = usage.find("--"); at != std::string_view::npos; at = usage.find("--", at)) {
    size_t end = at + 2;
    while (end < usage.size() && (std::isalnum(static_cast<unsigned char>(usage[end])) || usage[end] == '-')) ++end;
    if (end > at + 2) options.emplace_back(usage.substr(at, end - at));
    at = end;
  }
  return options;
}

std::optional<std::string> UnknownOption(const std::vector<std::string>& args, const std::vector<std::string>& known) {
  for (const std::string& a : args)
    if (a.starts_with("--") && std::find(known.begin(), known.end(), a) == known.end()) return a;
  return std::nullopt;
}

void PrepareQtEnvironment() {
  const char* set = std::getenv("XDG_RUNTIME_DIR");
  if (set && *set) return;
  // Qt keeps its runtime files in a folder of the user's own (mode 0700);
  // without one it says so on stderr at every start. A folder of meetctl's
  // own under the temporary folder is used when it is a real folder owned by
  // this user and closed to others.
  std::error_code ec;
  const std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
  if (ec) return;
  const std::filesystem::path dir = tmp / ("meetctl-runtime-" + std::to_string(::getuid()));
  ::mkdir(dir.c_str(), 0700);
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return;
  if ((st.st_mode & 0777) != 0700 && ::chmod(dir.c_str(), 0700) != 0) return;
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

void ReleaseQt() { QtApplication().reset(); }

int Run(const std::vector<std::string>& argsIn, std::istream& in, std::ostream& out, std::ostream& err) {
  GlobalOptions options;
  std::vector<std::string> args;
  // Global options stand before the verb.
  size_t i = 0;
  for (; i < argsIn.size(); ++i) {
    const std::string& a = argsIn[i];
    auto value = [&](std::string& into) -> bool {
      if (i + 1 >= argsIn.size()) return false;
      into = argsIn[++i];
      return true;
    };
    if (a == "--meet" || a == "--ctl" || a == "--print") {
      std::string& into = a == "--meet" ? options.meet : (a == "--ctl" ? options.ctl : options.print);
      if (!value(into)) {
        err << "meetctl: " << a << " の後に値が必要です。\n";
        return 2;
      }
    } else if (a == "--yes") {
      options.answer = true;
    } else if (a == "--no") {
      options.answer = false;
    } else {
      break;
    }
  }
  args.assign(argsIn.begin() + static_cast<long>(i), argsIn.end());
  // --yes / --no are also taken after the verb, where scripts tend to put them.
  if (std::find(args.begin(), args.end(), "--yes") != args.end()) options.answer = true;
  if (std::find(args.begin(), args.end(), "--no") != args.end()) options.answer = false;
  args.erase(std::remove_if(args.begin(), args.end(), [](const std::string& a) { return a == "--yes" || a == "--no"; }),
             args.end());

  SetLockProgram("meetctl");
  Context ctx(options, in, out, err);
  if (args.empty() || args[0] == "help" || args[0] == "--help") {
    std::ostream& to = args.empty() ? err : out;
    to << "meetctl [--meet DIR] [--ctl FILE] [--print TARGET] [--yes|--no] VERB …\n";
    for (const auto& [name, verb] : Verbs()) to << "  meetctl " << verb.usage << '\n';
    return args.empty() ? 2 : 0;
  }
  // A verb may be registered with two words ("race confirm"); the longer
  // name wins over the first word alone.
  size_t words = 1;
  auto it = Verbs().end();
  if (args.size() >= 2) it = Verbs().find(args[0] + " " + args[1]);
  if (it != Verbs().end()) {
    words = 2;
  } else {
    it = Verbs().find(args[0]);
  }
  if (it == Verbs().end()) return UsageError(ctx, "不明なコマンドです: " + args[0] + "（meetctl help で一覧）");
  std::vector<std::string> rest(args.begin() + static_cast<long>(words), args.end());
  // Every verb takes only the options its usage names; anything else that
  // looks like an option is refused before the verb reads or writes a file.
  if (auto bad = UnknownOption(rest, UsageOptions(it->second.usage))) {
    if (IsGlobalOption(*bad))
      return UsageError(ctx, *bad + " はコマンドの前に指定してください（meetctl " + *bad + " … " + it->first + " …）。");
    return UsageError(ctx, "不明なオプションです: " + *bad + "（meetctl " + it->second.usage + "）");
  }
  // A writing command holds the meet folder's lock from here to its end (a
  // folder that is no meet folder is left to the verb to refuse); publish
  // holds its own output folder's.
  std::optional<MeetLock> lock;
  const std::string verbName = it->first;
  std::optional<std::filesystem::path> lockFolder;
  std::error_code dirEc;
  if (verbName == "publish") {
    if (!rest.empty() && !rest[0].starts_with("--") && std::filesystem::is_directory(rest[0], dirEc)) lockFolder = rest[0];
  } else if (VerbWrites(verbName, rest)) {
    if (auto meet = ctx.MeetFolder(); meet && std::filesystem::is_regular_file(FindFile(*meet, kSettingsFileName), dirEc))
      lockFolder = *meet;
  }
  if (lockFolder) {
    std::string command = "meetctl " + verbName;
    for (const std::string& a : rest) command += " " + a;
    auto taken = MeetLock::Acquire(*lockFolder, command);
    if (!taken) return Failed(ctx, taken.error());
    lock = std::move(*taken);
  }
  // No failure leaves a command as an exception: a file that cannot be read,
  // memory that runs out, is a message and a non-zero exit like any other.
  int rc = 1;
  try {
    rc = it->second.handler(ctx, rest);
  } catch (const std::exception& e) {
    return Failed(ctx, Error{ErrorKind::Io, std::string("処理を続けられませんでした（何も書いていない場合も、途中まで書いた場合もあります）: ") + e.what()});
  }
  if (auto ok = ctx.FinishPrinting(); !ok && rc == 0) rc = Failed(ctx, ok.error());

  return rc;
}

}  // namespace meet::cli
