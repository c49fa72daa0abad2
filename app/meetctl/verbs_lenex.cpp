// lenex check FILE: the validator over a .lxf or .lef (ours or another
// program's): one finding per line with the element's path, then the summary
// line; exit 0 when nothing is found, 1 otherwise.
// lenex show FILE: its meets, sessions and events, and counts of clubs,
// athletes, entries, results and relays.
// Both only read. A file that cannot be read (missing, no zip, too large, no
// XML …) is one line on stderr and exit 2, so a script tells it from findings.
#include "interchange/lenex_check.h"
#include "interchange/lenex_read.h"
#include "meetctl/cli.h"

namespace meet::cli {
namespace {

constexpr int kUnreadable = 2;

int Unreadable(Context& ctx, const Error& error) {
  Failed(ctx, error);
  return kUnreadable;
}

int CheckVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(ctx, "lenex check は Lenex ファイル（.lxf か .lef）を一つ取ります。");
  auto document = ReadLenexFile(args[0]);
  if (!document) return Unreadable(ctx, document.error());
  const std::vector<LenexFinding> findings = CheckLenex(**document);
  for (const LenexFinding& f : findings) ctx.out << f.Line() << '\n';
  ctx.out << LenexCheckSummary(findings.size()) << '\n';
  return findings.empty() ? 0 : 1;
}

int ShowVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(ctx, "lenex show は Lenex ファイル（.lxf か .lef）を一つ取ります。");
  auto document = ReadLenexFile(args[0]);
  if (!document) return Unreadable(ctx, document.error());
  for (const std::string& line : LenexShowLines(SummarizeLenex(**document))) ctx.out << line << '\n';
  return 0;
}

VerbRegistration checkVerb("lenex check", "lenex check FILE  (a .lxf or .lef; exit 1 when something does not fit)",
                           CheckVerb);
VerbRegistration showVerb("lenex show", "lenex show FILE  (its meet, sessions, events and counts)", ShowVerb);

}  // namespace
}  // namespace meet::cli
