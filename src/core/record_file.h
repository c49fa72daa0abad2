// Fixed-record files: records numbered from 1, little-endian 16/32-bit
// integers, CP932 text fields of fixed byte width. A record read past the end
// of the file reads as all zero bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"

namespace meet {

// One record's bytes with typed access by offset. Access outside the record
// reads as 0 / empty and writes nothing, so a wrong offset can never corrupt
// memory.
class Record {
 public:
  explicit Record(size_t length) : bytes_(length, 0) {}
  Record(std::string bytes, size_t length);

  size_t size() const { return bytes_.size(); }
  const std::string& bytes() const { return bytes_; }
  std::string& bytes() { return bytes_; }

  int16_t I16(size_t offset) const;
  int32_t I32(size_t offset) const;
  void SetI16(size_t offset, int16_t value);
  void SetI32(size_t offset, int32_t value);

  // The field's bytes decoded from CP932, exactly as stored: blanks and NULs
  // that fill the field are kept (use TrimRight to drop them).
  std::string Text(size_t offset, size_t width) const;
  // Encodes the text, cuts it to the width without splitting a double-byte
  // character and fills the rest with blanks; an empty text fills with NULs.
  void SetText(size_t offset, size_t width, std::string_view utf8);
  // Raw bytes of a field, and raw bytes written (cut or NUL-filled to width).
  std::string Raw(size_t offset, size_t width) const;
  void SetRaw(size_t offset, size_t width, std::string_view raw);
  // A single byte as a one-character text; and set it.
  char Byte(size_t offset) const;
  void SetByte(size_t offset, char value);

 private:
  bool InRange(size_t offset, size_t width) const { return offset <= bytes_.size() && width <= bytes_.size() - offset; }
  std::string bytes_;
};

// A fixed-record file, opened for one command and closed when it goes out of
// scope.
class RecordFile {
 public:
  enum class Mode { ReadOnly, ReadWrite };

  // ReadOnly: a missing file opens as an empty file (nothing is created).
  // ReadWrite: a missing file is created empty.
  static Result<RecordFile> Open(const std::filesystem::path& path, size_t recordLength, Mode mode);

  RecordFile(RecordFile&& other) noexcept;
  RecordFile& operator=(RecordFile&& other) noexcept;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;
  ~RecordFile();

  size_t recordLength() const { return recordLength_; }
  uint64_t byteSize() const { return size_; }
  // Records the file holds completely or in part.
  int64_t recordsHeld() const;
  const std::filesystem::path& path() const { return path_; }

  // Record n (from 1); bytes past the end of the file read as zero.
  Record Read(int64_t recordNo) const;
  // Writes a whole record at its place, growing the file when needed (the gap
  // reads as zero bytes).
  Status Write(int64_t recordNo, const Record& record);
  // Writes only the given bytes at a byte offset (used where another program
  // shares the file and only the changed bytes may be touched).
  Status WriteBytesAt(uint64_t offset, std::string_view bytes);
  // Reads bytes at an offset; past the end reads as zero.
  std::string ReadBytesAt(uint64_t offset, size_t count) const;

 private:
  RecordFile(int fd, std::filesystem::path path, size_t recordLength, uint64_t size)
      : fd_(fd), path_(std::move(path)), recordLength_(recordLength), size_(size) {}
  int fd_ = -1;  // -1: a missing file opened read-only
  std::filesystem::path path_;
  size_t recordLength_ = 0;
  uint64_t size_ = 0;
};

}  // namespace meet
