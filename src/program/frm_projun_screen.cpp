#include "program/frm_projun_screen.h"
#include "core/html.h"

#include <algorithm>
#include <set>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/time_code.h"
#include "data/entry_file.h"
#include "data/naming_context.h"
#include "data/race_file.h"
#include "print/print_sources.h"

namespace meet {

namespace L = projun_layout;

const std::array<const char*, 4> kOptSeiCaptions = {"なし", "男子", "女子", "混合"};
const std::array<const char*, 5> kOptYoketuCaptions = {"なし", "予選", "決勝", "準決勝", "コンソ"};
const std::array<const char*, 8> kOptShuCaptions = {"なし",   "自由形", "背泳ぎ", "平泳ぎ",
                                                     "フライ", "個人メ", "メドレ", "リレー"};
const std::array<const char*, 8> kOptKyoriCaptions = {"なし", "25m", "50m", "100m", "200m", "400m", "800m", "1500m"};

const std::array<bool, 11> kProjunCellIsNumber = {true, false, false, false, false, true,
                                                  true, true,  true,  true,  false};
const std::array<const char*, 11> kProjunPrintHeads = {"  No ",        "性別     ", "区  分         ",
                                                       "種  目          ", "予決   ",  "組   ",
                                                       "予定時間    ", "所要   ",   "＠    ",
                                                       "ﾚｰｽ  ",        "F"};
// The fifth cell (the stage) starts at 6000 twips; the others are placed so
// that the widest text of each column fits at 12 points with at least one
// blank (120 twips) before the next: the heats after "ｺﾝｿﾚｰｼｮﾝ", the total
// after a start time, the flag after a race number.
const std::array<int, 11> kProjunCellX = {567, 1167, 1767, 3567, 6000, 7080, 7440, 8640, 9600, 10380, 11100};
const std::array<int, 11> kProjunCellColumns = {4, 4, 14, 18, 8, 3, 9, 8, 6, 5, 1};

namespace {

constexpr int kPrintFontSize = 12;
constexpr int kHeadingY = 567;
constexpr int kHeadingDateX = 8505;
constexpr int kHeadingTitleX = 4536;
constexpr int kHeadingCodeX = 9355;
constexpr int kLinesPerPage = 50;

// A number as the "###" format shows it: no digits for 0.
std::string Hash(int64_t value) { return value == 0 ? std::string() : NumberText(value); }

// A one-character field in the list: a blank when it is empty.
std::string Shown(const std::string& c) { return c.empty() ? std::string(" ") : c; }

std::string FirstChar(std::string_view text) { return LeftChars(text, 1); }

// The code digit of a combo box position (-1, no selection, gives "0").
std::string CodeOfPosition(int position) { return NumberText(position < 0 ? 0 : position + 1); }

int PositionOfCode(const std::string& code, int items) {
  if (code.size() != 1 || code[0] < '1' || code[0] > '0' + items) return -1;
  return code[0] - '1';
}

// The event code after the copy's stroke and distance options, or nothing
// when the changed two-digit code names no event. Entries without a
// standard event (none, or one of the meet's own) keep theirs.
std::optional<int16_t> CopiedEventCode(int16_t eventCode, int optShu, int optKyori) {
  if ((optShu == 0 && optKyori == 0) || eventCode < 1 || eventCode > 29) return eventCode;
  std::string code = EventCodeFromIndex(eventCode - 1);
  if (code.size() != 2) return std::nullopt;
  if (optShu > 0) code[0] = static_cast<char>('0' + optShu);
  if (optKyori > 0) code[1] = static_cast<char>('0' + optKyori - 1);
  auto index = EventIndexFromCode(code);
  if (!index || EventCodeFromIndex(*index) != code) return std::nullopt;
  return static_cast<int16_t>(*index + 1);
}

std::string TooManyEntries() {
  return "競技順の件数が " + NumberText(L::kMaxEntries) + " を超えるため実行できません。";
}

}  // namespace

std::string RightAlignedColumns(std::string_view text, int width) {
  std::string s(text);
  int w = LenMbcs(s);
  if (w <= width) return std::string(static_cast<size_t>(width - w), ' ') + s;
  size_t drop = 0;
  while (w > width && drop < s.size() && s[drop] == ' ') {
    ++drop;
    --w;
  }
  return s.substr(drop);
}

std::string PaddedColumns(std::string_view text, int width) {
  std::string s(text);
  int w = LenMbcs(s);
  if (w < width) s.append(static_cast<size_t>(width - w), ' ');
  return s;
}

std::string ProjunListLine(int lineNo, const ProgramEntry& e, const NamingContext& ctx) {
  std::string line;
  line += RightAligned(Hash(lineNo), 3);
  line += RightAligned(Hash(e.orderNo), 4);
  line += SexName(e.sexCode);
  line += PaddedColumns(ClassLabel(e.ageFrom, e.ageTo, e.eventCode, ctx), 14);
  line += PaddedColumns(EventName(e.eventCode, ctx), 18);
  line += RoundName(e.stageCode);
  line += RightAligned(Hash(e.heatCount), 3);
  line += RightAlignedColumns(FormatTime(e.startTime), 9);
  line += RightAlignedColumns(FormatTime(e.totalTime), 8);
  line += RightAlignedColumns(FormatTime(e.perHeatTime), 6);
  line += RightAligned(Hash(e.firstRace), 5);
  line += " " + Shown(e.dayNo) + "  " + NumberText(e.excludedHeats) + "  " + Shown(e.seedFlag);
  return line;
}

std::string HoursMinutesSeconds(int32_t hhmmss) {
  if (hhmmss <= 0) return {};
  return NumberText(hhmmss / 10000) + ":" + ZeroPadded(hhmmss / 100 % 100, 2) + ":" + ZeroPadded(hhmmss % 100, 2);
}

std::string MinutesSeconds(int32_t mmss) {
  if (mmss <= 0) return {};
  return NumberText(mmss / 100) + ":" + ZeroPadded(mmss % 100, 2);
}

std::array<std::string, 11> ProjunPrintCells(const ProgramEntry& e, const NamingContext& ctx) {
  return {NumberText(e.orderNo),
          SexName(e.sexCode),
          ClassLabel(e.ageFrom, e.ageTo, e.eventCode, ctx),
          EventName(e.eventCode, ctx),
          RoundName(e.stageCode),
          NumberText(e.heatCount),
          HoursMinutesSeconds(e.startTime),
          HoursMinutesSeconds(e.totalTime),
          MinutesSeconds(e.perHeatTime),
          NumberText(e.firstRace),
          e.seedFlag};
}

std::string RaceClockText(int64_t seconds) {
  std::string t = RightAligned(SecondsToHhmmss(seconds), 6);
  if (t.size() > 6) t = t.substr(t.size() - 6);
  return t.substr(0, 2) + ":" + t.substr(2, 2) + ":" + t.substr(4, 2);
}

std::filesystem::path ProgramHtmlPath(const std::filesystem::path& meetFolder, const std::string& meetAbbrev) {
  std::string name = meetAbbrev + "2.html";
  for (char& c : name)
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  if (name.starts_with(".")) name[0] = '_';
  return FindFile(meetFolder, name);
}

Result<std::pair<int, int>> SetRaceTimes(const std::filesystem::path& meetFolder, const ProgramOrder& order) {
  const int raceCount = ReadRaceCount(meetFolder);
  int timed = 0, skipped = 0;
  for (int n = 1; n <= order.count(); ++n) {
    ProgramEntry e = order.Read(n);
    if (e.orderNo == 0) continue;
    int64_t s = HhmmssToSeconds(e.startTime);
    const int64_t p = MmssToSeconds(e.perHeatTime);
    for (int j = 1; j <= e.heatCount; ++j) {
      const int race = e.firstRace + j - 1;
      if (race >= 1 && race <= raceCount) {
        auto loaded = LoadRace(meetFolder, race);
        if (!loaded) return std::unexpected(loaded.error());
        loaded->startTime = RaceClockText(s);
        if (auto ok = SaveRace(meetFolder, race, *loaded); !ok) return std::unexpected(ok.error());
        ++timed;
      } else {
        ++skipped;
      }
      if (e.excludedHeats == 0) s += p;
    }
  }
  return std::pair<int, int>{timed, skipped};
}

// ---------------------------------------------------------------- screen

FrmProjunScreen::FrmProjunScreen(std::filesystem::path meetFolder, Settings settings, Platform& platform)
    : meetFolder_(std::move(meetFolder)), settings_(std::move(settings)), platform_(platform) {}

Status FrmProjunScreen::Open() {
  naming_ = LoadNamingContext(settings_, meetFolder_);
  cboSei_.clear();
  cboShumoku_.clear();
  cboMatch_.clear();
  for (const char* code : {"1", "2", "3"}) cboSei_.push_back(SexName(code));
  for (int ev = 1; ev <= 44; ++ev) cboShumoku_.push_back(EventName(ev, naming_));
  for (const char* code : {"1", "2", "3", "4"}) cboMatch_.push_back(RoundName(code));
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  working_ = order->Read(1);
  WorkingCopyToScreen();
  return Relist();
}

Status FrmProjunScreen::Relist() {
  lines_.clear();
  lineMap_.clear();
  selectedLine_ = -1;
  hasSelection_ = false;
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) {
    count_ = 0;
    return std::unexpected(order.error());
  }
  count_ = order->count();
  for (int n = 1; n <= count_; ++n) {
    ProgramEntry e = order->Read(n);
    if (e.orderNo == 0 && !chkJun_) continue;
    lines_.push_back(ProjunListLine(static_cast<int>(lines_.size()) + 1, e, naming_));
    lineMap_.push_back(n);
  }
  return {};
}

Status FrmProjunScreen::SetChkJun(bool ticked) {
  chkJun_ = ticked;
  return Relist();
}

void FrmProjunScreen::ShowEntry(const ProgramEntry& e) {
  working_ = e;
  WorkingCopyToScreen();
}

Status FrmProjunScreen::SelectLine(int line) {
  if (line < 0 || line >= static_cast<int>(lineMap_.size()))
    return Fail(ErrorKind::Invalid, "一覧に " + NumberText(line + 1) + " 行目はありません。");
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  int n = lineMap_[static_cast<size_t>(line)];
  if (n > order->count())
    return Fail(ErrorKind::Refused, "選択したデータ " + NumberText(n) + " はもうありません（登録 " +
                                        NumberText(order->count()) + " 件）。一覧を選び直してください。");
  selectedLine_ = line;
  selectedEntry_ = n;
  hasSelection_ = true;
  ShowEntry(order->Read(n));
  return {};
}

Status FrmProjunScreen::SelectEntry(int n) {
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  if (n < 1 || n > order->count())
    return Fail(ErrorKind::Refused, "データ " + NumberText(n) + " はありません（登録 " +
                                        NumberText(order->count()) + " 件）。");
  auto it = std::find(lineMap_.begin(), lineMap_.end(), n);
  selectedLine_ = it == lineMap_.end() ? -1 : static_cast<int>(it - lineMap_.begin());
  selectedEntry_ = n;
  hasSelection_ = true;
  ShowEntry(order->Read(n));
  return {};
}

void FrmProjunScreen::SetTxtSakujo(std::string_view text) { controls_.txtSakujo = FirstChar(text); }

void FrmProjunScreen::ScreenToWorkingCopy() {
  const ProjunControls& c = controls_;
  ProgramEntry& e = working_;
  e.orderNo = LeadingInt16(c.txtJun);
  e.heatCount = LeadingInt16(c.txtKumi);
  e.sexCode = CodeOfPosition(c.cboSei);
  e.ageFrom = LeadingInt16(c.txtAge1);
  e.ageTo = LeadingInt16(c.txtAge2);
  e.eventCode = static_cast<int16_t>(c.cboShumoku < 0 ? 0 : c.cboShumoku + 1);
  if (e.eventCode > 29) {
    e.ageFrom = 0;
    e.ageTo = 100;
  }
  e.stageCode = CodeOfPosition(c.cboMatch);
  e.perHeatTime = LeadingInt32(c.txtZikatan);
  e.totalTime = LeadingInt32(c.txtZikan);
  e.startTime = LeadingInt32(c.txtYotei);
  e.firstRace = LeadingInt16(c.txtRace);
  e.seedFlag = FirstChar(c.txtMa);
  e.dayNo = FirstChar(c.txtHn);
  e.entrySpare = c.entrySpare;
  e.excludedHeats = LeadingInt16(c.txtSakujo);
}

void FrmProjunScreen::WorkingCopyToScreen() {
  const ProgramEntry& e = working_;
  ProjunControls& c = controls_;
  c.txtJun = NumberText(e.orderNo);
  c.txtKumi = NumberText(e.heatCount);
  c.cboSei = PositionOfCode(e.sexCode, 3);
  c.txtAge1 = NumberText(e.ageFrom);
  c.txtAge2 = NumberText(e.ageTo);
  c.cboShumoku = e.eventCode >= 1 && e.eventCode <= 44 ? e.eventCode - 1 : -1;
  c.cboMatch = PositionOfCode(e.stageCode, 4);
  c.txtZikatan = NumberText(e.perHeatTime);
  c.txtZikan = NumberText(e.totalTime);
  c.txtYotei = NumberText(e.startTime);
  c.txtRace = NumberText(e.firstRace);
  c.txtMa = e.seedFlag;
  c.txtHn = e.dayNo;
  c.entrySpare = e.entrySpare;
  SetTxtSakujo(NumberText(e.excludedHeats));
}

Status FrmProjunScreen::Ask(std::string_view question) {
  if (platform_.dialogs.AskOkCancel(question)) return {};
  return Fail(ErrorKind::Cancelled, "確認されなかったため何も変更していません。");
}

Result<int> FrmProjunScreen::SelectedEntryIn(const ProgramOrder& order) const {
  if (!hasSelection_) return Fail(ErrorKind::Invalid, "一覧から対象のデータを選択してください。");
  if (selectedEntry_ < 1 || selectedEntry_ > order.count())
    return Fail(ErrorKind::Refused, "選択したデータ " + NumberText(selectedEntry_) + " はもうありません（登録 " +
                                        NumberText(order.count()) + " 件）。一覧を選び直してください。");
  return selectedEntry_;
}

Status FrmProjunScreen::SaveAndRelist(ProgramOrder& order) {
  Status saved = order.Save();
  Status listed = Relist();
  if (!saved) return saved;
  return listed;
}

Status FrmProjunScreen::Shinki() {
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  if (order->count() >= L::kMaxEntries) return Fail(ErrorKind::Refused, TooManyEntries());
  if (auto ok = Ask(kAskShinki); !ok) return ok;
  ScreenToWorkingCopy();
  order->SetCount(order->count() + 1);
  if (auto ok = order->Write(order->count(), working_); !ok) return ok;
  return SaveAndRelist(*order);
}

Status FrmProjunScreen::Syusei() {
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  auto s = SelectedEntryIn(*order);
  if (!s) return std::unexpected(s.error());
  if (auto ok = Ask(kAskSyusei); !ok) return ok;
  ScreenToWorkingCopy();
  if (auto ok = order->Write(*s, working_); !ok) return ok;
  return SaveAndRelist(*order);
}

Status FrmProjunScreen::SakujoEnter() {
  const int line = selectedLine_;
  if (auto ok = Syusei(); !ok) return ok;
  if (line >= 0 && line + 1 < static_cast<int>(lines_.size())) return SelectLine(line + 1);
  return {};
}

Status FrmProjunScreen::Sakujo() {
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  auto s = SelectedEntryIn(*order);
  if (!s) return std::unexpected(s.error());
  if (auto ok = Ask(kAskSakujo); !ok) return ok;
  order->SetCount(order->count() - 1);
  for (int k = *s; k <= order->count(); ++k)
    if (auto ok = order->Write(k, order->Read(k + 1)); !ok) return ok;
  order->WriteHeader();
  return SaveAndRelist(*order);
}

std::string FrmProjunScreen::SonyuQuestion() const {
  return "空データを" + NumberText(LeadingNumber(txtSohnyu_)) + "ケ挿入します。";
}

Status FrmProjunScreen::Sonyu() {
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  auto s = SelectedEntryIn(*order);
  if (!s) return std::unexpected(s.error());
  const int64_t m = LeadingNumber(txtSohnyu_);
  if (m < 1) return Fail(ErrorKind::Invalid, "挿入する数は1以上で指定してください。");
  const int n = order->count();
  if (n + m > L::kMaxEntries) return Fail(ErrorKind::Refused, TooManyEntries());
  if (auto ok = Ask(SonyuQuestion()); !ok) return ok;
  const int mm = static_cast<int>(m);
  for (int k = n; k >= *s; --k)
    if (auto ok = order->Write(k + mm, order->Read(k)); !ok) return ok;
  order->SetCount(n + mm);
  for (int k = *s; k < *s + mm; ++k)
    if (auto ok = order->Write(k, BlankProgramEntry()); !ok) return ok;
  order->WriteHeader();
  return SaveAndRelist(*order);
}

std::string FrmProjunScreen::CopyQuestion() const {
  return copy_.txtC1 + "へ" + copy_.txtC2 + "から" + copy_.txtC3 + "までを選択条件で複写します｡ ";
}

Status FrmProjunScreen::Copy() {
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  const int64_t d = LeadingNumber(copy_.txtC1);
  const int64_t a = LeadingNumber(copy_.txtC2);
  const int64_t b = LeadingNumber(copy_.txtC3);
  const int n = order->count();
  if (b < a)
    return Fail(ErrorKind::Invalid, "複写範囲が逆です（" + NumberText(a) + "から" + NumberText(b) +
                                        "まで）。から ≦ まで で指定してください。");
  if (a < 1 || b > n)
    return Fail(ErrorKind::Refused, "複写元 " + NumberText(a) + "～" + NumberText(b) + " は登録データ（1～" +
                                        NumberText(n) + "）の範囲外です。");
  if (d < 1) return Fail(ErrorKind::Invalid, "複写先は1以上で指定してください。");
  if (d + (b - a) > L::kMaxEntries) return Fail(ErrorKind::Refused, TooManyEntries());
  const CopyControls& c = copy_;
  if (c.optSei < 0 || c.optSei > 3 || c.optYoketu < 0 || c.optYoketu > 4 || c.optShu < 0 || c.optShu > 7 ||
      c.optKyori < 0 || c.optKyori > 7)
    return Fail(ErrorKind::Invalid, "複写の選択条件が正しくありません。");

  // The sources are taken before anything is written, so that a destination
  // inside the source range copies the entries as they were.
  std::vector<ProgramEntry> copies;
  for (int64_t src = a; src <= b; ++src) {
    ProgramEntry e = order->Read(static_cast<int>(src));
    if (c.optSei > 0) e.sexCode = NumberText(c.optSei);
    if (c.optYoketu > 0) e.stageCode = NumberText(c.optYoketu);
    auto event = CopiedEventCode(e.eventCode, c.optShu, c.optKyori);
    if (!event)
      return Fail(ErrorKind::Refused, "複写元 " + NumberText(src) + " の種目「" + EventName(e.eventCode, naming_) +
                                          "」には選択条件の泳法・距離の種目がありません。");
    e.eventCode = *event;
    copies.push_back(std::move(e));
  }
  if (auto ok = Ask(CopyQuestion()); !ok) return ok;
  int dest = static_cast<int>(d);
  for (const ProgramEntry& e : copies) {
    if (order->count() < dest) order->SetCount(dest);
    if (auto ok = order->Write(dest, e); !ok) return ok;
    ++dest;
  }
  return SaveAndRelist(*order);
}

std::optional<int> FrmProjunScreen::ShokiStart() {
  if (!hasSelection_) {
    platform_.dialogs.Notify(kNoStartPosition);
    return std::nullopt;
  }
  return selectedEntry_;
}

Status FrmProjunScreen::AfterShoki() {
  ScreenToWorkingCopy();
  return Relist();
}

void FrmProjunScreen::Cansel() {
  controls_ = ProjunControls{};
  txtSohnyu_.clear();
  copy_.txtC1.clear();
  copy_.txtC2.clear();
  copy_.txtC3.clear();
}

Result<ProjunPrintSummary> FrmProjunScreen::Insatu() {
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  ProjunPrintSummary summary;
  summary.html = ProgramHtmlPath(meetFolder_, settings_.meetAbbrev);

  std::string html = "<HTML><HEAD><TITLE></TITLE></HEAD><BODY>\r\n";
  html += "<TABLE BORDER=\"0\" WIDTH=\"100%\" HEIGHT=\"100%\">\r\n";

  Printer& p = platform_.printer;
  p.SetDocumentName(DocumentName{"競技順", "order"});
  p.SetFont(PrintFont{kGothic, kPrintFontSize, false});
  const int column = p.TextWidth(" ");
  const DateTime now = platform_.clock.Now();
  auto heading = [&](bool first) {
    if (!first || p.documentOpen()) p.NewPage();
    ++summary.pages;
    p.SetPosition(kHeadingDateX, kHeadingY);
    p.Print(DateSlashed(now) + " " + TimeColons(now));
    p.NextLine();
    p.PrintAt(kHeadingTitleX, kProjunPrintTitle);
    p.NextLine();
    p.PrintAt(kHeadingCodeX, settings_.meetCode);
    p.NextLine();
    p.NextLine();
    for (size_t i = 0; i < kProjunPrintHeads.size(); ++i) p.PrintAt(kProjunCellX[i], kProjunPrintHeads[i]);
    p.NextLine();
  };

  int counter = 0;
  bool first = true;
  std::string previousDay;
  for (int n = 1; n <= order->count(); ++n) {
    ProgramEntry e = order->Read(n);
    if (e.orderNo == 0 && !chkJun_) continue;
    ++counter;
    if (first || e.dayNo != previousDay || counter > kLinesPerPage) {
      heading(first);
      first = false;
      counter = 1;
    }
    previousDay = e.dayNo;
    auto cells = ProjunPrintCells(e, naming_);
    std::string row;
    for (size_t i = 0; i < cells.size(); ++i) {
      if (kProjunCellIsNumber[i]) {
        int right = kProjunCellX[i] + kProjunCellColumns[i] * column;
        p.PrintAt(std::max(kProjunCellX[i], right - p.TextWidth(cells[i])), cells[i]);
      } else {
        // A band or event name longer than its column is cut, never printed over the next.
        PrintColumn(p, kProjunCellX[i], i + 1 < cells.size() ? kProjunCellX[i + 1] : kPageWidth, cells[i]);
      }
      if (i == 0)
        row += "<TR><TD ALIGN=\"RIGHT\">";
      else
        row += kProjunCellIsNumber[i] ? "<TD ALIGN=\"RIGHT\">" : "<TD>";
      row += HtmlEscaped(cells[i]) + "</TD>";
    }
    html += row + "</TR>\r\n";
    p.NextLine();
    ++summary.lines;
  }
  // A printout the printer refused writes neither the HTML list nor the times.
  if (auto ok = p.EndDoc(); !ok) return std::unexpected(ok.error());
  html += "</TABLE></BODY></HTML>\r\n";
  if (auto ok = WriteWholeFile(summary.html, EncodeCp932(html)); !ok) return std::unexpected(ok.error());

  auto timed = SetRaceTimes(meetFolder_, *order);
  if (!timed) return std::unexpected(timed.error());
  summary.racesTimed = timed->first;
  summary.racesSkipped = timed->second;
  return summary;
}

std::vector<std::pair<int16_t, int16_t>> GeneratedBands(int eventCode, const std::set<int>& ages,
                                                        std::string_view classMode) {
  const int16_t from = eventCode > 29 ? 0 : 1;
  const int oldest = ages.empty() ? 0 : *ages.rbegin();
  if (classMode != "1" || oldest <= 100) return {{from, 100}};
  if (eventCode < 23 || eventCode > 29) return {{from, ClampToInt16(oldest)}};
  // Relay teams of grown-ups swim by the sum of their members' ages: 119 and
  // under, then forty years a class; one band for each class a team is in.
  std::vector<std::pair<int16_t, int16_t>> bands;
  int lastClass = -1;
  for (int age : ages) {
    const int klass = age < 120 ? 0 : (age - 120) / 40 + 1;
    if (klass == lastClass) continue;
    lastClass = klass;
    if (klass == 0)
      bands.emplace_back(int16_t{1}, int16_t{119});
    else
      bands.emplace_back(ClampToInt16(120 + 40 * (klass - 1)), ClampToInt16(159 + 40 * (klass - 1)));
  }
  return bands;
}

Result<int> FrmProjunScreen::Jidou(bool finalsOnly) {
  std::filesystem::path entryPath = EntryFilePath(settings_.entryFolder, settings_.entryFileName);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(entryPath, ec))
    return Fail(ErrorKind::NotFound, "申込データ " + entryPath.string() + " がありません。");
  auto entries = EntryFile::OpenForReading(entryPath);
  if (!entries) return std::unexpected(entries.error());

  // entered[event − 1][sex − 1]: some entry of that sex has an entry time;
  // ages[event − 1][sex − 1]: the ages of those entries.
  std::array<std::array<bool, 3>, 44> entered{};
  std::array<std::array<std::set<int>, 3>, 44> ages{};
  for (int32_t n = 1; n <= entries->entriesHeld(); ++n) {
    Entry e = entries->Load(n);
    int sex = PositionOfCode(FirstChar(e.sexCode), 3);
    if (sex < 0) continue;
    for (size_t ev = 0; ev < e.entryTimes.size(); ++ev)
      if (e.entryTimes[ev] != 0) {
        entered[ev][static_cast<size_t>(sex)] = true;
        ages[ev][static_cast<size_t>(sex)].insert(e.age);
      }
  }
  std::vector<ProgramEntry> added;
  for (int ev = 1; ev <= 44; ++ev) {
    for (int sex = 1; sex <= 3; ++sex) {
      if (!entered[static_cast<size_t>(ev - 1)][static_cast<size_t>(sex - 1)]) continue;
      for (auto [from, to] : GeneratedBands(ev, ages[static_cast<size_t>(ev - 1)][static_cast<size_t>(sex - 1)],
                                            settings_.classMode)) {
        ProgramEntry e;
        e.sexCode = NumberText(sex);
        e.eventCode = static_cast<int16_t>(ev);
        e.ageFrom = from;
        e.ageTo = to;
        e.dayNo = "1";
        // Every stage starts as 初期化 leaves it: heats from the entries.
        // Seeding marks a final "2" once it seeds the preliminary before it.
        e.seedFlag = "1";
        if (!finalsOnly) {
          e.stageCode = "1";
          added.push_back(e);
        }
        e.stageCode = "2";
        added.push_back(e);
      }
    }
  }
  if (added.empty()) return Fail(ErrorKind::NotFound, "申込データにエントリーのある種目がありません。");

  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  const int n = order->count();
  if (n + static_cast<int64_t>(added.size()) > L::kMaxEntries) return Fail(ErrorKind::Refused, TooManyEntries());
  if (auto ok = Ask(finalsOnly ? kAskJidouFinals : kAskJidouAll); !ok) return std::unexpected(ok.error());

  int16_t lastOrderNo = 0;
  for (int k = 1; k <= n; ++k) lastOrderNo = std::max(lastOrderNo, order->Read(k).orderNo);
  for (size_t i = 0; i < added.size(); ++i) {
    ProgramEntry& e = added[i];
    e.orderNo = static_cast<int16_t>(std::min<int64_t>(lastOrderNo + static_cast<int64_t>(i) + 1, L::kMaxEntries));
    order->SetCount(order->count() + 1);
    if (auto ok = order->Write(order->count(), e); !ok) return std::unexpected(ok.error());
  }
  if (auto ok = SaveAndRelist(*order); !ok) return std::unexpected(ok.error());
  return static_cast<int>(added.size());
}

}  // namespace meet
