#include "print/hpro_file.h"

#include <algorithm>

#include "core/file_names.h"

namespace meet {

namespace L = hpro_layout;

int ProgramPage::FilledSlots() const {
  return static_cast<int>(std::count_if(pageRace.begin(), pageRace.end(), [](int16_t r) { return r != 0; }));
}

ProgramPage PageFromRecord(const Record& r) {
  ProgramPage page;
  page.slotCount = r.I16(L::kSlotCount);
  for (int k = 0; k < L::kSlots; ++k) page.pageRace[static_cast<size_t>(k)] = r.I16(L::kPageRace + 2 * static_cast<size_t>(k));
  page.pageMark = r.Byte(L::kPageMark);
  page.pageFiller = r.Raw(L::kPageFiller, L::kPageFillerWidth);
  return page;
}

Record RecordFromPage(const ProgramPage& page) {
  Record r(L::kRecordLength);
  r.SetI16(L::kSlotCount, page.slotCount);
  for (int k = 0; k < L::kSlots; ++k) r.SetI16(L::kPageRace + 2 * static_cast<size_t>(k), page.pageRace[static_cast<size_t>(k)]);
  r.SetByte(L::kPageMark, page.pageMark);
  r.SetRaw(L::kPageFiller, L::kPageFillerWidth, page.pageFiller);
  return r;
}

Result<PageFile> PageFile::Load(const std::filesystem::path& meetFolder) {
  std::filesystem::path path = FindFile(meetFolder, kPageFileName);
  auto bytes = ReadFileHead(path, L::kMaxFileBytes);
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound) return FromBytes(path, {});
    return std::unexpected(bytes.error());
  }
  return FromBytes(path, std::move(*bytes));
}

PageFile PageFile::FromBytes(std::filesystem::path path, std::string bytes) {
  PageFile file;
  file.path_ = std::move(path);
  file.bytes_ = std::move(bytes);
  return file;
}

int16_t PageFile::storedPageCount() const {
  if (bytes_.size() <= L::kEmptyFileSize) return 0;
  return Record(bytes_.substr(0, L::kRecordLength), L::kRecordLength).I16(L::kPageCount);
}

int16_t PageFile::pagePattern() const {
  if (bytes_.size() <= L::kEmptyFileSize) return 0;
  return Record(bytes_.substr(0, L::kRecordLength), L::kRecordLength).I16(L::kPagePattern);
}

int PageFile::pageCount() const {
  if (bytes_.size() <= L::kEmptyFileSize) return 0;
  const int64_t records = static_cast<int64_t>((bytes_.size() + L::kRecordLength - 1) / L::kRecordLength);
  const int64_t held = std::max<int64_t>(0, records - (L::kFirstPageRecord - 1));
  return static_cast<int>(std::clamp<int64_t>(storedPageCount(), 0, std::min<int64_t>(held, L::kMaxPage)));
}

ProgramPage PageFile::Read(int p) const {
  if (p < 1 || p > L::kMaxPage) return PageFromRecord(Record(L::kRecordLength));
  const size_t offset = static_cast<size_t>(p + L::kFirstPageRecord - 2) * L::kRecordLength;
  std::string record = offset < bytes_.size() ? bytes_.substr(offset, L::kRecordLength) : std::string();
  return PageFromRecord(Record(std::move(record), L::kRecordLength));
}

void PageFile::PutBytes(size_t offset, std::string_view bytes) {
  if (bytes_.size() < offset + bytes.size()) bytes_.resize(offset + bytes.size(), '\0');
  std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
  changed_ = true;
}

Status PageFile::Write(int p, const ProgramPage& page) {
  if (p < 1 || p > L::kMaxPage)
    return Fail(ErrorKind::Refused, "ページ番号は1～" + std::to_string(L::kMaxPage) + "です: " + std::to_string(p));
  PutBytes(static_cast<size_t>(p + L::kFirstPageRecord - 2) * L::kRecordLength, RecordFromPage(page).bytes());
  return {};
}

Status PageFile::WriteHeader(int pageCount, int16_t pattern) {
  if (pageCount < 0 || pageCount > L::kMaxPage)
    return Fail(ErrorKind::Refused, "ページ数は0～" + std::to_string(L::kMaxPage) + "です: " + std::to_string(pageCount));
  Record header(bytes_.substr(0, std::min(bytes_.size(), L::kRecordLength)), L::kRecordLength);
  header.SetI16(L::kPageCount, static_cast<int16_t>(pageCount));
  header.SetI16(L::kPagePattern, pattern);
  PutBytes(0, header.bytes());
  return {};
}

Status PageFile::Save() {
  if (!changed_) return {};
  if (auto ok = WriteWholeFile(path_, bytes_); !ok) return ok;
  changed_ = false;
  return {};
}

}  // namespace meet
