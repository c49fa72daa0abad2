// The program page file "hpro.dat" of the meet folder: which races go on
// which page of the printed program. A command reads the whole file into a
// PageFile, changes pages in memory and writes it back once (temporary file
// and rename); the bytes left on disk are those that writing the same records
// one by one would leave: records 2–10, the header filler and the pages
// beyond the page count stay as they were.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/error.h"
#include "core/record_file.h"
#include "print/hpro_layout.h"

namespace meet {

inline constexpr const char* kPageFileName = "hpro.dat";

struct ProgramPage {
  int16_t slotCount = 0;
  std::array<int16_t, hpro_layout::kSlots> pageRace{};  // slots 1..8 at index 0..7
  char pageMark = '\0';                                 // as read; NUL on a new page
  std::string pageFiller;                               // raw bytes as read; empty writes NUL

  // Non-zero race numbers in the slots.
  int FilledSlots() const;
  bool operator==(const ProgramPage&) const = default;
};

ProgramPage PageFromRecord(const Record& record);
Record RecordFromPage(const ProgramPage& page);

class PageFile {
 public:
  // Reads hpro.dat of the meet folder (found whatever its letter case). A
  // missing file reads as no pages; a new file is created as "hpro.dat".
  static Result<PageFile> Load(const std::filesystem::path& meetFolder);
  // A page file over the given bytes (tests, batch tools).
  static PageFile FromBytes(std::filesystem::path path, std::string bytes);

  // The header's page count clamped to 0 .. the page records the file holds
  // (0 for a file shorter than 11 bytes).
  int pageCount() const;
  // The header as stored.
  int16_t storedPageCount() const;
  int16_t pagePattern() const;

  // Page p (record p + 10); past the end of the file, or for p outside
  // 1..32757, an empty page.
  ProgramPage Read(int p) const;
  // Writes page p as record p + 10 (the header is not touched). p must be
  // 1..32757.
  Status Write(int p, const ProgramPage& page);
  // Writes pageCount and pagePattern into record 1; its filler is kept.
  Status WriteHeader(int pageCount, int16_t pattern);

  bool changed() const { return changed_; }
  // Writes the file back whole when it changed.
  Status Save();

  const std::string& bytes() const { return bytes_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  void PutBytes(size_t offset, std::string_view bytes);
  std::filesystem::path path_;
  std::string bytes_;
  bool changed_ = false;
};

}  // namespace meet
