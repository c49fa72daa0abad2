// points-table load FILE: the operator's World Aquatics base times into the
// meet folder (wapoints.csv), saying what was loaded; points-table show: the
// table the meet holds.
#include <map>

#include "meetctl/cli.h"
#include "results/wa_points.h"

namespace meet::cli {
namespace {

// "LCM 個人 12 行、SCM リレー 4 行" and the table's year.
std::string TableSummary(const PointsTable& t) {
  std::map<std::pair<std::string, int>, int> rows;
  for (const BaseTime& r : t.rows) ++rows[{r.course, r.relayCount}];
  std::string out;
  for (const auto& [key, n] : rows)
    out += (out.empty() ? "" : "、") + key.first + (key.second == 1 ? " 個人 " : " リレー ") + std::to_string(n) + " 行";
  return "基準タイム " + std::to_string(t.rows.size()) + " 行（" + out + "）" +
         (t.version.empty() ? std::string() : "、版 " + t.version);
}

int Load(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(ctx, "points-table load FILE");
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  auto table = ImportPointsTable(*meet, args[0]);
  if (!table) return Failed(ctx, table.error());
  ctx.out << kPointsTableFileName << " に読み込みました: " << TableSummary(*table) << '\n';
  return 0;
}

int Show(Context& ctx, std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(ctx, "points-table show");
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto table = LoadPointsTable(*meet);
  if (!table) return Failed(ctx, table.error());
  if (!*table) {
    ctx.out << "基準タイムの表はありません（meetctl points-table load FILE で読み込みます）。\n";
    return 0;
  }
  ctx.out << PointsTableText(**table) << TableSummary(**table) << '\n';
  return 0;
}

static VerbRegistration load("points-table load", "points-table load FILE", Load);
static VerbRegistration show("points-table show", "points-table show", Show);

}  // namespace
}  // namespace meet::cli
