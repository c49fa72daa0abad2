#include "print/frm_mk_page_screen.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/numbers.h"
#include "data/naming_context.h"
#include "print/program_pages.h"

namespace meet {

namespace HL = hpro_layout;

namespace {

// The printed list: the list font, the heading and the lines below it.
constexpr double kListFontSize = 10;
constexpr int kListX = 1000;
constexpr int kHeadingY = 700;
constexpr int kFirstLineY = 1500;
constexpr int kLinesPerPage = 60;

}  // namespace

int BoxAfterKey(int k, BoxKey key) {
  if (k < 1 || k > kPageBoxes) return k;
  switch (key) {
    case BoxKey::Up: return k > 1 ? k - 1 : k;
    case BoxKey::Down: return k < kPageBoxes ? k + 1 : k;
    case BoxKey::Left: return k >= 5 ? k - 4 : k;
    case BoxKey::Right: return k <= 4 ? k + 4 : k;
  }
  return k;
}

FrmMkPageScreen::FrmMkPageScreen(std::filesystem::path meetFolder, Settings settings, Platform& platform)
    : meetFolder_(std::move(meetFolder)), settings_(std::move(settings)), platform_(platform) {}

Status FrmMkPageScreen::Open() {
  naming_ = LoadNamingContext(settings_, meetFolder_);
  return Refresh(1);
}

std::string FrmMkPageScreen::txtPage() const { return NumberText(page_) + " / " + NumberText(pageCount_); }

void FrmMkPageScreen::ShowBoxes(const ProgramPage& page) {
  if (page_ == 0) {
    txtRace_.fill(std::string());
    return;
  }
  txtRace_[0] = NumberText(page.slotCount);
  for (int k = 1; k <= kPageBoxes; ++k) txtRace_[static_cast<size_t>(k)] = NumberText(page.pageRace[static_cast<size_t>(k - 1)]);
}

Status FrmMkPageScreen::Refresh(int p) {
  auto file = PageFile::Load(meetFolder_);
  if (!file) return std::unexpected(file.error());
  auto races = RaceFileImage::Load(meetFolder_);
  if (!races) return std::unexpected(races.error());
  pageCount_ = file->pageCount();
  page_ = pageCount_ == 0 ? 0 : std::clamp(p, 1, pageCount_);
  lines_.clear();
  lines_.reserve(static_cast<size_t>(pageCount_));
  for (int n = 1; n <= pageCount_; ++n) lines_.push_back(PageListLine(n, file->Read(n), *races, naming_));
  ShowBoxes(file->Read(page_));
  return {};
}

Status FrmMkPageScreen::SelectLine(int line) { return ShowPage(line + 1); }

Status FrmMkPageScreen::ShowPage(int p) {
  auto file = PageFile::Load(meetFolder_);
  if (!file) return std::unexpected(file.error());
  const int count = file->pageCount();
  if (p < 1 || p > count) {
    if (count == 0) return Fail(ErrorKind::Invalid, "ページがありません。");
    return Fail(ErrorKind::Invalid, "ページ番号は1～" + NumberText(count) + "で指定してください: " + NumberText(p));
  }
  if (count != pageCount_) return Refresh(p);
  page_ = p;
  ShowBoxes(file->Read(p));
  return {};
}

Result<int> FrmMkPageScreen::RaceEnter(int k, int caret) {
  if (k < 1 || k > kPageBoxes) return Fail(ErrorKind::Invalid, "レース番号の欄は1～8です。");
  std::string& box = txtRace_[static_cast<size_t>(k)];
  box = LeftChars(box, std::max(caret, 0));

  auto file = PageFile::Load(meetFolder_);
  if (!file) return std::unexpected(file.error());
  if (page_ < 1 || page_ > file->pageCount())
    return Fail(ErrorKind::Refused, "書き換えるページがありません。「挿入」でページを作ってください。");

  ProgramPage page = file->Read(page_);
  for (int slot = 1; slot <= kPageBoxes; ++slot) {
    const int64_t race = LeadingNumber(txtRace_[static_cast<size_t>(slot)]);
    if (race < 0 || race > race_layout::kMaxRace)
      return Fail(ErrorKind::Invalid, "レース番号は0～" + NumberText(race_layout::kMaxRace) + "で入力してください（欄 " +
                                          NumberText(slot) + ": " + txtRace_[static_cast<size_t>(slot)] + "）。");
    page.pageRace[static_cast<size_t>(slot - 1)] = static_cast<int16_t>(race);
  }
  page.slotCount = static_cast<int16_t>(page.FilledSlots());
  if (auto ok = file->Write(page_, page); !ok) return std::unexpected(ok.error());
  if (auto ok = file->Save(); !ok) return std::unexpected(ok.error());
  if (auto ok = Refresh(page_); !ok) return std::unexpected(ok.error());
  return k < kPageBoxes ? k + 1 : k;
}

Status FrmMkPageScreen::Sohnyu() { return SohnyuAt(std::max(page_, 1)); }

Status FrmMkPageScreen::SohnyuAt(int s) {
  auto file = PageFile::Load(meetFolder_);
  if (!file) return std::unexpected(file.error());
  const int count = file->pageCount();
  if (count >= HL::kMaxPage)
    return Fail(ErrorKind::Refused, "ページ数が上限（" + NumberText(HL::kMaxPage) + "）に達しているため挿入できません。");
  if (s < 1 || s > count + 1)
    return Fail(ErrorKind::Invalid, "挿入する位置は1～" + NumberText(count + 1) + "で指定してください: " + NumberText(s));
  for (int p = count; p >= s; --p)
    if (auto ok = file->Write(p + 1, file->Read(p)); !ok) return ok;
  if (auto ok = file->Write(s, ProgramPage{}); !ok) return ok;
  if (auto ok = file->WriteHeader(count + 1, 0); !ok) return ok;
  if (auto ok = file->Save(); !ok) return ok;
  return Refresh(s);
}

Status FrmMkPageScreen::Sakujo() {
  auto file = PageFile::Load(meetFolder_);
  if (!file) return std::unexpected(file.error());
  const int count = file->pageCount();
  if (count == 0) return Fail(ErrorKind::Refused, "削除するページがありません。");
  const int s = page_;
  if (s < 1 || s > count) return Fail(ErrorKind::Invalid, "削除するページを選んでください。");
  for (int p = s + 1; p <= count; ++p)
    if (auto ok = file->Write(p - 1, file->Read(p)); !ok) return ok;
  if (auto ok = file->WriteHeader(count - 1, 0); !ok) return ok;
  if (auto ok = file->Save(); !ok) return ok;
  return Refresh(s);
}

Result<int> FrmMkPageScreen::Insatu() {
  if (auto ok = Refresh(page_ == 0 ? 1 : page_); !ok) return std::unexpected(ok.error());
  if (lines_.empty()) return Fail(ErrorKind::NotFound, "印刷するページがありません。");
  Printer& p = platform_.printer;
  p.SetDocumentName(DocumentName{"ページ一覧", "pages"});
  p.SetFont(PrintFont{kGothic, kListFontSize, false});
  const std::string title = settings_.meetAbbrev.empty() ? std::string(kMkPageListTitle)
                                                         : settings_.meetAbbrev + "  " + kMkPageListTitle;
  int onPage = 0;
  bool first = true;
  for (const std::string& line : lines_) {
    if (first || onPage == kLinesPerPage) {
      if (!first) p.NewPage();
      first = false;
      onPage = 0;
      p.SetPosition(kListX, kHeadingY);
      p.Print(title);
      p.SetPosition(kListX, kFirstLineY);
    }
    p.PrintAt(kListX, line);
    p.NextLine();
    ++onPage;
  }
  if (auto ok = p.EndDoc(); !ok) return std::unexpected(ok.error());
  return static_cast<int>(lines_.size());
}

}  // namespace meet
