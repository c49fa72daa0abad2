#include "data/optional_categories.h"

#include "core/file_names.h"

namespace meet {

namespace L = optkubun_layout;

namespace {
constexpr size_t kEmptyFileSize = 10;  // a file of 10 bytes or less holds no categories
constexpr int kFirstCategoryRecord = 2;  // category n is record n + 1
}  // namespace

std::vector<OptionalCategory> ReadOptionalCategories(const std::filesystem::path& meetFolder) {
  std::vector<OptionalCategory> categories;
  auto file = RecordFile::Open(FindFile(meetFolder, kOptionalCategoryFileName), L::kRecordLength,
                               RecordFile::Mode::ReadOnly);
  if (!file || file->byteSize() <= kEmptyFileSize) return categories;
  int64_t count = file->Read(1).I16(L::kCategoryCount);
  int64_t held = file->recordsHeld() - (kFirstCategoryRecord - 1);
  if (count > held) count = held;
  for (int64_t n = 1; n <= count; ++n)
    categories.push_back(OptionalCategoryFromRecord(file->Read(n + (kFirstCategoryRecord - 1))));
  return categories;
}

OptionalCategory OptionalCategoryFromRecord(const Record& r) {
  OptionalCategory c;
  c.catSex = r.Text(L::kCatSex, 1);
  c.catFrom = r.I16(L::kCatFrom);
  c.catTo = r.I16(L::kCatTo);
  c.catEventFrom = r.I16(L::kCatEventFrom);
  c.catEventTo = r.I16(L::kCatEventTo);
  c.catName = r.Text(L::kCatName, L::kCatNameWidth);
  c.catTitleOnly = r.Text(L::kCatTitleOnly, 1);
  c.catSpare = r.Raw(L::kCatSpare, L::kCatSpareWidth);
  return c;
}

Record RecordFromOptionalCategory(const OptionalCategory& c) {
  Record r(L::kRecordLength);
  r.SetText(L::kCatSex, 1, c.catSex);
  r.SetI16(L::kCatFrom, c.catFrom);
  r.SetI16(L::kCatTo, c.catTo);
  r.SetI16(L::kCatEventFrom, c.catEventFrom);
  r.SetI16(L::kCatEventTo, c.catEventTo);
  r.SetText(L::kCatName, L::kCatNameWidth, c.catName);
  r.SetText(L::kCatTitleOnly, 1, c.catTitleOnly);
  r.SetRaw(L::kCatSpare, L::kCatSpareWidth, c.catSpare);
  return r;
}

}  // namespace meet
