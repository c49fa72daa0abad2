// The optional categories screen frmOptKubun ("種目区分(オプション)") without
// a window:
//   categories list
//   categories add catSex=… catFrom=… catTo=… catEventFrom=… catEventTo=… catName=… [catTitleOnly=T]  追加
//   categories set POS FIELD=VALUE…        修正 (fields not named keep their values)
//   categories delete POS                  削除
//   categories preset 0|1|2                中国室内 / ＪＯ予選 / マスターズ (asks over categories on file)
// Each lists the file after it.
#include <iostream>
#include <map>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/printer.h"
#include "meetctl/cli.h"
#include "program/frm_opt_kubun_screen.h"

namespace meet::cli {
namespace {

constexpr const char* kFieldsText =
    "catSex=1..4（1 男 2 女 3 混合 4 男女共） catFrom=0..100 catTo=0..100（区分: 年齢・学年） "
    "catEventFrom=1..44 catEventTo=1..44（種目コード） catName=区分名（12バイトまで） catTitleOnly=T（タイトル表示のみ）";
constexpr const char* kAddUsage =
    "categories add catSex=S catFrom=A catTo=B catEventFrom=E catEventTo=F catName=NAME [catTitleOnly=T]";
constexpr const char* kSetUsage = "categories set POS FIELD=VALUE…（指定しない項目はそのまま）";

// Runs one command of the screen on the meet folder and lists the file after it.
template <class Command>
int WithScreen(Context& ctx, bool mustBeSound, Command command) {
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  NullPrinter printer;
  Platform platform{printer, ctx.dialogs(), ctx.clock(), ctx.launcher()};
  FrmOptKubunScreen screen(*meet, platform);
  if (auto ok = screen.Open(); !ok) {
    if (mustBeSound) return Failed(ctx, ok.error());
    ctx.err << ok.error().message << '\n';
  }
  if (auto ok = command(screen); !ok) {
    if (ok.error().kind == ErrorKind::Cancelled)
      return Failed(ctx, Error{ErrorKind::Cancelled, ok.error().message + "（実行する場合は --yes）"});
    return Failed(ctx, ok.error());
  }
  ctx.out << kOptKubunHeading << '\n';
  int n = 0;
  for (const std::string& line : screen.lstKubun()) ctx.out << ++n << ": " << line << '\n';
  ctx.out << "lblKazu=" << screen.lblKazu() << '\n';
  return 0;
}

// One field of a category: its name, the screen's box, and the range of a number.
struct Field {
  const char* name;
  std::string* box;
  int low, high;  // high < low: a text
};

std::vector<Field> Fields(CategoryFields& f) {
  return {{"catSex", &f.txtSei, 1, 4},        {"catFrom", &f.txtAge[0], 0, 100},   {"catTo", &f.txtAge[1], 0, 100},
          {"catEventFrom", &f.txtShu[0], 1, 44}, {"catEventTo", &f.txtShu[1], 1, 44}, {"catName", &f.txtKubun, 1, 0},
          {"catTitleOnly", &f.txtTitle, 1, 0}};
}

// FIELD=VALUE onto the screen's fields, each checked; `required` names the
// fields that must be given. Then the bounds must be in order.
Status ApplyFields(CategoryFields& fields, const std::vector<std::string>& args, size_t from, bool required) {
  std::vector<Field> known = Fields(fields);
  std::map<std::string, bool> given;
  for (size_t i = from; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const size_t eq = arg.find('=');
    const Field* field = nullptr;
    for (const Field& f : known)
      if (eq != std::string::npos && arg.compare(0, eq, f.name) == 0 && eq == std::string(f.name).size()) field = &f;
    if (!field) return Fail(ErrorKind::Invalid, "不明な項目です: " + arg + "（" + kFieldsText + "）");
    const std::string value = arg.substr(eq + 1);
    const std::string name = field->name;
    if (field->high >= field->low) {
      auto n = NumberInRange(value, name, field->low, field->high);
      if (!n) return std::unexpected(n.error());
      *field->box = NumberText(*n);
    } else if (name == "catTitleOnly") {
      if (!value.empty() && value != "T")
        return Fail(ErrorKind::Invalid, "catTitleOnly は T（タイトル表示のみ）か空です: " + value);
      *field->box = value;
    } else {
      if (DecodeCp932(EncodeCp932(value)) != value) return Fail(ErrorKind::Invalid, "catName に使えない文字があります: " + value);
      if (AnsiLen(value) > 12) return Fail(ErrorKind::Invalid, "catName は12バイト（全角6文字）までです: " + value);
      if (Trim(value).empty()) return Fail(ErrorKind::Invalid, "catName が空です。");
      *field->box = value;
    }
    given[name] = true;
  }
  if (required)
    for (const Field& f : known)
      if (std::string(f.name) != "catTitleOnly" && !given.count(f.name))
        return Fail(ErrorKind::Invalid, std::string(f.name) + " を指定してください（" + kAddUsage + "）。");
  if (LeadingNumber(fields.txtAge[0]) > LeadingNumber(fields.txtAge[1]))
    return Fail(ErrorKind::Invalid, "catFrom " + fields.txtAge[0] + " が catTo " + fields.txtAge[1] + " より大きくなります。");
  if (LeadingNumber(fields.txtShu[0]) > LeadingNumber(fields.txtShu[1]))
    return Fail(ErrorKind::Invalid,
                "catEventFrom " + fields.txtShu[0] + " が catEventTo " + fields.txtShu[1] + " より大きくなります。");
  return {};
}

Result<int> Position(const FrmOptKubunScreen& screen, const std::string& text) {
  const int count = static_cast<int>(screen.categories().size());
  if (count == 0) return Fail(ErrorKind::NotFound, "区分がありません。");
  return NumberInRange(text, "区分の位置", 1, count);
}

int ListVerb(Context& ctx, std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(ctx, "categories list");
  return WithScreen(ctx, false, [](FrmOptKubunScreen&) -> Status { return {}; });
}

int AddVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.empty()) return UsageError(ctx, kAddUsage);
  return WithScreen(ctx, true, [&](FrmOptKubunScreen& s) -> Status {
    s.fields = CategoryFields{};
    if (auto ok = ApplyFields(s.fields, args, 0, true); !ok) return ok;
    return s.cmdTuika();
  });
}

int SetVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() < 2) return UsageError(ctx, kSetUsage);
  return WithScreen(ctx, true, [&](FrmOptKubunScreen& s) -> Status {
    auto pos = Position(s, args[0]);
    if (!pos) return std::unexpected(pos.error());
    if (auto ok = s.Select(*pos - 1); !ok) return ok;
    if (auto ok = ApplyFields(s.fields, args, 1, false); !ok) return ok;
    return s.cmdShusei();
  });
}

int DeleteVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(ctx, "categories delete POS");
  return WithScreen(ctx, true, [&](FrmOptKubunScreen& s) -> Status {
    auto pos = Position(s, args[0]);
    if (!pos) return std::unexpected(pos.error());
    if (auto ok = s.Select(*pos - 1); !ok) return ok;
    return s.cmdSakujo();
  });
}

int PresetVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1 || (args[0] != "0" && args[0] != "1" && args[0] != "2"))
    return UsageError(ctx, "categories preset 0|1|2（0 中国室内、1 ＪＯ予選、2 マスターズ）");
  return WithScreen(ctx, false, [&](FrmOptKubunScreen& s) { return s.cmdShoki(args[0][0] - '0'); });
}

VerbRegistration listVerb("categories list", "categories list", ListVerb);
VerbRegistration addVerb("categories add", std::string(kAddUsage) + "（" + kFieldsText + "）", AddVerb);
VerbRegistration setVerb("categories set", kSetUsage, SetVerb);
VerbRegistration deleteVerb("categories delete", "categories delete POS", DeleteVerb);
VerbRegistration presetVerb("categories preset",
                            "categories preset 0|1|2（0 中国室内、1 ＪＯ予選、2 マスターズ。区分があるときは確認: --yes）",
                            PresetVerb);

}  // namespace
}  // namespace meet::cli
