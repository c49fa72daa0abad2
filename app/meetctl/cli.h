// meetctl: the system's operations without a window, for scripting,
// rehearsal and tests.
//   meetctl [--meet DIR] [--ctl FILE] [--print TARGET] [--yes|--no] VERB …
// Each verb runs one screen command, prints UTF-8, exits 0 on success and
// non-zero with a one-line message on stderr on failure.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/platform.h"
#include "print/print_sources.h"
#include "settings/folders.h"
#include "settings/settings.h"

namespace meet::cli {

struct GlobalOptions {
  std::string meet;   // --meet DIR
  std::string ctl;    // --ctl FILE
  std::string print;  // --print TARGET
  std::optional<bool> answer;  // --yes / --no
};

class Context {
 public:
  Context(GlobalOptions options, std::istream& in, std::ostream& out, std::ostream& err);
  ~Context();

  const GlobalOptions& options() const { return options_; }
  std::istream& in;
  std::ostream& out;
  std::ostream& err;

  // The meet folder: --meet, else the meet folder of the folder configuration.
  Result<std::string> MeetFolder();
  // The folder configuration as read (for the entry folder and file).
  Folders& folders();
  std::filesystem::path folderConfigFile() const;
  // The meet's settings, loaded from the meet folder on first use.
  Result<Settings*> LoadedSettings();
  // The meet folder and its settings with the entry file of the folder
  // configuration, as the hub holds them (for the verbs of hub windows).
  Result<MeetFiles> HubMeetFiles();

  Result<Printer*> printer();
  // The platform a screen runs on: the --print target when the command
  // prints, else a printer that drops everything.
  Result<Platform> PlatformFor(bool printing);
  Dialogs& dialogs();
  Clock& clock();
  Launcher& launcher();
  // Ends the print document when one is open (called after every verb): what
  // the printer says of it.
  Status FinishPrinting();

 private:
  GlobalOptions options_;
  std::optional<Folders> folders_;
  std::optional<Error> foldersError_;  // a configuration refused as it was read
  std::optional<Settings> settings_;
  std::unique_ptr<Printer> printer_;
  std::unique_ptr<Printer> noPrinter_;
  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<Launcher> launcher_;
};

using VerbHandler = std::function<int(Context&, std::vector<std::string>& args)>;

// Registers a verb at start-up: `static VerbRegistration r("time", "time format CODE…", Handler);`
// A name of two words ("race view") is found before the first word alone;
// its handler gets the arguments after both words.
struct VerbRegistration {
  VerbRegistration(std::string name, std::string usage, VerbHandler handler);
};

// Runs meetctl with the arguments after the program name.
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

// Helpers for verbs.
// The meet folder for a command that creates or rewrites meet files: refused
// when the folder holds no kijun.dat (no meet folder: the root, a typo).
Result<std::string> MeetFolderToWrite(Context& ctx);
int Failed(Context& ctx, const Error& error);           // prints "meetctl: …", returns 1
int UsageError(Context& ctx, const std::string& text);  // prints "meetctl: …", returns 2
// Removes "--name VALUE" from args; nullopt when absent; an error when the value is missing.
Result<std::optional<std::string>> TakeOption(std::vector<std::string>& args, const std::string& name);
// Removes "--name" from args; true when it was there.
bool TakeSwitch(std::vector<std::string>& args, const std::string& name);
// A whole decimal number and nothing else; nullopt otherwise.
std::optional<int64_t> WholeNumber(std::string_view text);
// A whole number within low..high, or an error naming `what` ("レース番号").
Result<int> NumberInRange(const std::string& text, const std::string& what, int64_t low, int64_t high);

// A swim time as a result box is typed: a time written with its separators
// ("1:05.23", "35.12") becomes its digits ("10523", "3512"); any other text
// stays as it is, for the box's own leading-digits rule. A separated text
// that is no time, or that would read as a status code (0.01–0.09), is refused.
Result<std::string> TypedSwimTime(const std::string& text);

// The options a verb's usage names ("--copies", "--all-seeded"): the only
// ones the verb takes.
std::vector<std::string> UsageOptions(std::string_view usage);
// The first argument that looks like an option ("--…") and is none of
// `known`; nullopt when every one is known.
std::optional<std::string> UnknownOption(const std::vector<std::string>& args, const std::vector<std::string>& known);

// Qt's needs before its application object is made: a runtime folder of the
// user's own when XDG_RUNTIME_DIR is not set.
void PrepareQtEnvironment();
// Ends Qt's application object, if one was made, while the program's other
// objects still stand (main calls it before returning).
void ReleaseQt();

}  // namespace meet::cli
