#include "program/frm_opt_kubun_screen.h"

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/naming.h"
#include "core/numbers.h"
#include "core/record_file.h"

namespace meet {

namespace L = optkubun_layout;

namespace {

constexpr size_t kEmptyFileSize = 10;  // a file of 10 bytes or less holds no categories

OptionalCategory Category(const char* sex, int from, int to, int eventFrom, int eventTo, std::string name) {
  OptionalCategory c;
  c.catSex = sex;
  c.catFrom = static_cast<int16_t>(from);
  c.catTo = static_cast<int16_t>(to);
  c.catEventFrom = static_cast<int16_t>(eventFrom);
  c.catEventTo = static_cast<int16_t>(eventTo);
  c.catName = std::move(name);
  return c;
}

// A text from the file as a field shows it.
std::string Shown(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return TrimRight(text);
}

Result<int16_t> Field16(const std::string& text, const char* what) {
  const int64_t value = LeadingNumber(text);
  if (value < -32768 || value > 32767)
    return Fail(ErrorKind::Invalid, std::string(what) + " " + NumberText(value) + " は -32768～32767 で入力してください。");
  return static_cast<int16_t>(value);
}

std::filesystem::path FilePath(const std::filesystem::path& meetFolder) {
  return FindFile(meetFolder, kOptionalCategoryFileName);
}

}  // namespace

std::vector<OptionalCategory> PresetCategories(int preset) {
  switch (preset) {
    case 0:
      return {Category("4", 1, 8, 1, 22, "8歳以下"),    Category("4", 9, 10, 1, 22, "9-10歳"),
              Category("4", 11, 12, 1, 22, "11-12歳"),  Category("4", 13, 14, 1, 22, "13-14歳"),
              Category("1", 15, 17, 1, 22, "15-17歳"),  Category("1", 18, 100, 1, 22, "18歳以上"),
              Category("2", 15, 100, 1, 22, "15歳以上")};
    case 1:
      return {Category("4", 1, 10, 1, 29, "10歳以下"), Category("4", 11, 12, 1, 29, "11-12歳"),
              Category("4", 13, 14, 1, 29, "13-14歳"), Category("4", 15, 18, 1, 29, "15-18歳")};
    case 2: {
      std::vector<OptionalCategory> masters;
      for (int c = 51; c <= 100; ++c) masters.push_back(Category("4", c, c, 1, 29, TrimRight(ClassName(c, 0))));
      return masters;
    }
    default: return {};
  }
}

std::string CategoryLine(const OptionalCategory& c) {
  std::string title = Shown(c.catTitleOnly);
  if (title.empty()) title = " ";
  std::string sex = Shown(c.catSex);
  if (sex.empty()) sex = " ";
  return sex + title + " | " + RightAligned(c.catFrom, 3) + "  ->  " + RightAligned(c.catTo, 3) + " |  " +
         RightAligned(c.catEventFrom, 2) + "  ->  " + RightAligned(c.catEventTo, 2) + " | " + Shown(c.catName);
}

FrmOptKubunScreen::FrmOptKubunScreen(std::filesystem::path meetFolder, Platform& platform)
    : meetFolder_(std::move(meetFolder)), platform_(platform) {}

std::string FrmOptKubunScreen::lblKazu() const {
  return NumberText(selected_ + 1) + " / " + NumberText(static_cast<int64_t>(categories_.size()));
}

Status FrmOptKubunScreen::Reload() {
  categories_ = ReadOptionalCategories(meetFolder_);
  lstKubun_.clear();
  for (const OptionalCategory& c : categories_) lstKubun_.push_back(CategoryLine(c));
  if (selected_ >= static_cast<int>(categories_.size())) selected_ = -1;

  damaged_ = false;
  const uint64_t size = FileSize(FilePath(meetFolder_));
  if (size > kEmptyFileSize) {
    auto file = RecordFile::Open(FilePath(meetFolder_), L::kRecordLength, RecordFile::Mode::ReadOnly);
    if (!file) return std::unexpected(file.error());
    const int64_t stored = file->Read(1).I16(L::kCategoryCount);
    if (stored < 0 || stored > file->recordsHeld() - 1) {
      damaged_ = true;
      damage_ = "optkubun.dat の区分数 " + NumberText(stored) + " がファイルの大きさ（" +
                NumberText(static_cast<int64_t>(categories_.size())) + " 件分）と合いません。";
    }
  }
  return {};
}

Status FrmOptKubunScreen::Open() {
  selected_ = -1;
  if (auto ok = Reload(); !ok) return ok;
  if (damaged_) return Fail(ErrorKind::Format, damage_ + "読める区分だけを表示します。");
  return {};
}

Status FrmOptKubunScreen::CheckUsable() const {
  if (damaged_) return Fail(ErrorKind::Refused, damage_ + "初期設定のボタンで作り直してください。");
  return {};
}

Status FrmOptKubunScreen::Select(int index) {
  if (index < 0 || index >= static_cast<int>(categories_.size()))
    return Fail(ErrorKind::Invalid, "区分 " + NumberText(index + 1) + " はありません（1～" +
                                        NumberText(static_cast<int64_t>(categories_.size())) + "）。");
  selected_ = index;
  const OptionalCategory& c = categories_[static_cast<size_t>(index)];
  fields.txtSei = Shown(c.catSex);
  fields.txtAge = {NumberText(c.catFrom), NumberText(c.catTo)};
  fields.txtShu = {NumberText(c.catEventFrom), NumberText(c.catEventTo)};
  fields.txtKubun = Shown(c.catName);
  fields.txtTitle = Shown(c.catTitleOnly);
  return {};
}

Result<OptionalCategory> FrmOptKubunScreen::FromFields(const OptionalCategory& base) {
  OptionalCategory c = base;
  auto from = Field16(fields.txtAge[0], "区分の下限");
  if (!from) return std::unexpected(from.error());
  auto to = Field16(fields.txtAge[1], "区分の上限");
  if (!to) return std::unexpected(to.error());
  auto eventFrom = Field16(fields.txtShu[0], "種目の始め");
  if (!eventFrom) return std::unexpected(eventFrom.error());
  auto eventTo = Field16(fields.txtShu[1], "種目の終わり");
  if (!eventTo) return std::unexpected(eventTo.error());
  c.catSex = CutToWidth(fields.txtSei, 1);
  c.catFrom = *from;
  c.catTo = *to;
  c.catEventFrom = *eventFrom;
  c.catEventTo = *eventTo;
  c.catName = CutToWidth(fields.txtKubun, static_cast<int>(L::kCatNameWidth));
  c.catTitleOnly = CutToWidth(fields.txtTitle, 1);
  if (c.catName != fields.txtKubun)
    platform_.dialogs.Notify("区分名は12バイトまでです。「" + c.catName + "」として記録します。");
  return c;
}

Status FrmOptKubunScreen::WriteCategories(const std::vector<OptionalCategory>& categories) {
  if (categories.size() > 32767) return Fail(ErrorKind::Refused, "区分は 32767 件までです。");
  const std::filesystem::path path = FilePath(meetFolder_);
  std::string bytes;
  if (FileSize(path) > 0) {
    auto read = ReadFileHead(path, (32767 + 1) * static_cast<uint64_t>(optkubun_layout::kRecordLength));
    if (!read) return std::unexpected(read.error());
    bytes = std::move(*read);
  }
  auto put = [&](size_t recordNo, const Record& r) {
    const size_t at = (recordNo - 1) * L::kRecordLength;
    if (bytes.size() < at + L::kRecordLength) bytes.resize(at + L::kRecordLength, '\0');
    bytes.replace(at, L::kRecordLength, r.bytes());
  };
  Record header(std::string(bytes.substr(0, std::min(bytes.size(), L::kRecordLength))), L::kRecordLength);
  header.SetI16(L::kCategoryCount, static_cast<int16_t>(categories.size()));
  put(1, header);
  for (size_t n = 1; n <= categories.size(); ++n) put(n + 1, RecordFromOptionalCategory(categories[n - 1]));
  return WriteWholeFile(path, bytes);
}

Status FrmOptKubunScreen::cmdTuika() {
  if (auto ok = CheckUsable(); !ok) return ok;
  auto added = FromFields(OptionalCategory{});
  if (!added) return std::unexpected(added.error());
  std::vector<OptionalCategory> list = categories_;
  // After the last category whose lower bound is not above the new one.
  size_t at = list.size();
  while (at > 0 && added->catFrom < list[at - 1].catFrom) --at;
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), *added);
  if (auto ok = WriteCategories(list); !ok) return ok;
  selected_ = -1;
  return Reload();
}

Status FrmOptKubunScreen::cmdShusei() {
  if (selected_ < 0) {
    platform_.dialogs.Notify(kNoCategorySelected);
    return Fail(ErrorKind::Cancelled, kNoCategorySelected);
  }
  if (auto ok = CheckUsable(); !ok) return ok;
  std::vector<OptionalCategory> list = categories_;
  auto changed = FromFields(list[static_cast<size_t>(selected_)]);
  if (!changed) return std::unexpected(changed.error());
  list[static_cast<size_t>(selected_)] = *changed;
  if (auto ok = WriteCategories(list); !ok) return ok;
  return Reload();
}

Status FrmOptKubunScreen::cmdSakujo() {
  if (selected_ < 0) {
    platform_.dialogs.Notify(kNoCategorySelected);
    return Fail(ErrorKind::Cancelled, kNoCategorySelected);
  }
  if (auto ok = CheckUsable(); !ok) return ok;
  std::vector<OptionalCategory> list = categories_;
  list.erase(list.begin() + selected_);
  // Deleting leaves the last record in place; only the count drops.
  if (auto ok = WriteCategories(list); !ok) return ok;
  selected_ = -1;
  return Reload();
}

std::string PresetQuestion(int preset, int replaced) {
  const std::vector<OptionalCategory> made = PresetCategories(preset);
  std::string text = std::string("「") + kPresetCaptions[static_cast<size_t>(preset)] + "」の区分 " +
                     NumberText(static_cast<int64_t>(made.size())) + " 件で、今の区分 " + NumberText(replaced) +
                     " 件を置き換えます。\n作る区分（区分 名前）:";
  for (size_t i = 0; i < made.size(); ++i) {
    const OptionalCategory& c = made[i];
    text += i % 10 == 0 ? "\n" : "、";
    text += NumberText(c.catFrom);
    if (c.catTo != c.catFrom) text += "-" + NumberText(c.catTo);
    text += " " + (Shown(c.catName).empty() ? std::string("（名前なし）") : Shown(c.catName));
  }
  return text;
}

Status FrmOptKubunScreen::cmdShoki(int preset) {
  if (preset < 0 || preset > 2) return Fail(ErrorKind::Invalid, "初期設定は 0～2 です。");
  // Categories on file are replaced only when the operator says so.
  if ((!categories_.empty() || damaged_) &&
      !platform_.dialogs.AskOkCancel(PresetQuestion(preset, static_cast<int>(categories_.size()))))
    return Fail(ErrorKind::Cancelled, "初期設定を取り消しました。区分は変えていません。");
  if (auto ok = WriteCategories(PresetCategories(preset)); !ok) return ok;
  selected_ = -1;
  return Reload();
}

}  // namespace meet
