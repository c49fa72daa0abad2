// names: every naming table in full, as table<TAB>code<TAB>text lines — a
// reference card for the operator.
#include <filesystem>
#include <iostream>

#include "core/naming.h"
#include "data/entry_file.h"
#include "data/naming_context.h"
#include "meetctl/cli.h"

namespace meet::cli {
namespace {

int NamesVerb(Context& ctx, std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(ctx, "names は引数を取りません。");
  // The meet's own events 30–44 are listed when the meet names an entry file that exists.
  NamingContext naming;
  bool meetEvents = false;
  if (!ctx.options().meet.empty() || !ctx.folders().meetFolder.empty()) {
    if (auto meet = ctx.MeetFolder(); meet) {
      if (auto settings = ctx.LoadedSettings(); settings) {
        std::error_code ec;
        auto path = EntryFilePath((*settings)->entryFolder, (*settings)->entryFileName);
        if (std::filesystem::is_regular_file(path, ec)) {
          naming = LoadNamingContext(**settings, *meet);
          meetEvents = true;
        }
      }
    }
  }
  auto line = [&](const char* table, const std::string& code, const std::string& text) {
    ctx.out << table << '\t' << code << '\t' << text << '\n';
  };
  for (int code = 1; code <= (meetEvents ? 44 : 29); ++code) line("event", std::to_string(code), EventName(code, naming));
  for (const char* code : {"1", "2", "3", "4"}) line("round", code, RoundName(code));
  for (const char* code : {"1", "2", "3"}) line("sex", code, SexName(code));
  for (int code = 1; code <= 34; ++code) line("recordClass", std::to_string(code), RecordClassAbbrev(code));
  line("recordClass", "99", RecordClassAbbrev(99));
  for (int code = 0; code <= 100; ++code) line("class0", std::to_string(code), ClassName(code, 0));
  for (int code = 0; code <= 100; ++code) line("class2", std::to_string(code), ClassName(code, 2));
  for (int index = 0; index <= 28; ++index) line("eventCode", std::to_string(index), EventCodeFromIndex(index));
  return 0;
}

VerbRegistration namesVerb("names", "names  (every naming table: table<TAB>code<TAB>text)", NamesVerb);

}  // namespace
}  // namespace meet::cli
