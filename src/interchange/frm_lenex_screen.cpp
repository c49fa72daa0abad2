#include "interchange/frm_lenex_screen.h"

#include "core/cp932.h"
#include "interchange/lxf_write.h"

namespace meet {

namespace {
constexpr const char* kSuffixes[] = {"_results.lxf", "_startlist.lxf", "_entries.lxf"};
constexpr const char* kKindNames[] = {"結果", "スタートリスト", "エントリー"};
}  // namespace

FrmLenexScreen::FrmLenexScreen(MeetFiles meet) : meet_(std::move(meet)) { file_ = DefaultFile(options_.kind).string(); }

std::filesystem::path FrmLenexScreen::DefaultFile(LenexKind kind) const {
  std::string base = Trim(meet_.settings.meetAbbrev);
  if (base.empty() || base.find_first_of("/\\:*?\"<>|") != std::string::npos) base = "meet";
  return meet_.meetFolder / (base + kSuffixes[static_cast<int>(kind)]);
}

void FrmLenexScreen::ChooseKind(LenexKind kind) {
  if (file_.empty() || file_ == DefaultFile(options_.kind).string()) file_ = DefaultFile(kind).string();
  options_.kind = kind;
}

Result<LenexCounts> FrmLenexScreen::ClickExport() {
  auto fail = [this](const Error& e) -> Result<LenexCounts> {
    result_ = e.message;
    return std::unexpected(e);
  };
  const std::string file = Trim(file_);
  if (file.empty()) return fail(Error{ErrorKind::Invalid, "書き出すファイルの名前を入れてください。"});
  pugi::xml_document doc;
  auto counts = BuildLenexDocument(doc, meet_, options_);
  if (!counts) return fail(counts.error());
  if (auto ok = WriteLxf(file, LenexText(doc)); !ok) return fail(ok.error());
  result_ = LenexSummary(options_.kind, file, *counts);
  return counts;
}

std::string LenexSummary(LenexKind kind, const std::filesystem::path& file, const LenexCounts& c) {
  std::string out = std::string("Lenex ") + kKindNames[static_cast<int>(kind)] + "を書き出しました: " + file.string() +
                    "（セッション " + std::to_string(c.sessions) + "、種目 " + std::to_string(c.events) + "、組 " +
                    std::to_string(c.heats) + "、クラブ " + std::to_string(c.clubs) + "、選手 " +
                    std::to_string(c.athletes) + "、リレー " + std::to_string(c.relays) + "、エントリー " +
                    std::to_string(c.entries);
  if (kind == LenexKind::Results)
    out += "、結果 " + std::to_string(c.results) + "、ポイント " + std::to_string(c.points);
  return out + "）";
}

}  // namespace meet
