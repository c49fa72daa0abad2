#include "core/record_file.h"

#include "core/file_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/cp932.h"

namespace meet {

Record::Record(std::string bytes, size_t length) : bytes_(std::move(bytes)) { bytes_.resize(length, '\0'); }

int16_t Record::I16(size_t offset) const {
  if (!InRange(offset, 2)) return 0;
  auto b = reinterpret_cast<const uint8_t*>(bytes_.data() + offset);
  return static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
}

int32_t Record::I32(size_t offset) const {
  if (!InRange(offset, 4)) return 0;
  auto b = reinterpret_cast<const uint8_t*>(bytes_.data() + offset);
  uint32_t v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
               (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return static_cast<int32_t>(v);
}

void Record::SetI16(size_t offset, int16_t value) {
  if (!InRange(offset, 2)) return;
  auto v = static_cast<uint16_t>(value);
  bytes_[offset] = static_cast<char>(v & 0xFF);
  bytes_[offset + 1] = static_cast<char>(v >> 8);
}

void Record::SetI32(size_t offset, int32_t value) {
  if (!InRange(offset, 4)) return;
  auto v = static_cast<uint32_t>(value);
  for (int k = 0; k < 4; ++k) bytes_[offset + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

std::string Record::Raw(size_t offset, size_t width) const {
  if (!InRange(offset, width)) return {};
  return bytes_.substr(offset, width);
}

void Record::SetRaw(size_t offset, size_t width, std::string_view raw) {
  if (!InRange(offset, width)) return;
  for (size_t k = 0; k < width; ++k) bytes_[offset + k] = k < raw.size() ? raw[k] : '\0';
}

std::string Record::Text(size_t offset, size_t width) const { return DecodeCp932(Raw(offset, width)); }

void Record::SetText(size_t offset, size_t width, std::string_view utf8) {
  if (utf8.empty()) {
    SetRaw(offset, width, {});
    return;
  }
  std::string encoded = EncodeCp932(PadToWidth(utf8, static_cast<int>(width)));
  SetRaw(offset, width, encoded);
}

char Record::Byte(size_t offset) const { return offset < bytes_.size() ? bytes_[offset] : '\0'; }

void Record::SetByte(size_t offset, char value) {
  if (offset < bytes_.size()) bytes_[offset] = value;
}

Result<RecordFile> RecordFile::Open(const std::filesystem::path& path, size_t recordLength, Mode mode) {
  auto notRegular = [&] {
    return Fail(ErrorKind::Io, path.string() + " は通常のファイルではありません（パイプ・フォルダ・壊れたリンクなど）。");
  };
  // A file written in place is never a link: writing through it could change
  // any file it points at. (Reading follows links.)
  if (mode == Mode::ReadWrite)
    if (auto ok = CheckWritable(path); !ok) return std::unexpected(ok.error());
  int flags = mode == Mode::ReadOnly ? O_RDONLY : (O_RDWR | O_CREAT | O_NOFOLLOW);
  // O_NONBLOCK: a pipe in the file's place is refused below instead of waited on.
  int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) {
    int err = errno;
    if (mode == Mode::ReadOnly && err == ENOENT) return RecordFile(-1, path, recordLength, 0);
    if (err == ELOOP || err == EISDIR) return notRegular();
    return Fail(err == ENOENT ? ErrorKind::NotFound : ErrorKind::Io,
                path.string() + " を開けません: " + std::strerror(err));
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return notRegular();
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  off_t end = ::lseek(fd, 0, SEEK_END);
  if (end < 0) {
    int err = errno;
    ::close(fd);
    return Fail(ErrorKind::Io, path.string() + " を開けません: " + std::strerror(err));
  }
  return RecordFile(fd, path, recordLength, static_cast<uint64_t>(end));
}

RecordFile::RecordFile(RecordFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), recordLength_(other.recordLength_), size_(other.size_) {
  other.fd_ = -1;
}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    recordLength_ = other.recordLength_;
    size_ = other.size_;
    other.fd_ = -1;
  }
  return *this;
}

RecordFile::~RecordFile() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t RecordFile::recordsHeld() const {
  if (recordLength_ == 0) return 0;
  return static_cast<int64_t>((size_ + recordLength_ - 1) / recordLength_);
}

std::string RecordFile::ReadBytesAt(uint64_t offset, size_t count) const {
  std::string out(count, '\0');
  if (fd_ < 0 || offset >= size_) return out;
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd_, out.data() + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // end of file or an error: the rest stays zero
    done += static_cast<size_t>(n);
  }
  return out;
}

Record RecordFile::Read(int64_t recordNo) const {
  if (recordNo < 1) return Record(recordLength_);
  uint64_t offset = static_cast<uint64_t>(recordNo - 1) * recordLength_;
  return Record(ReadBytesAt(offset, recordLength_), recordLength_);
}

Status RecordFile::WriteBytesAt(uint64_t offset, std::string_view bytes) {
  if (fd_ < 0) return Fail(ErrorKind::Io, path_.string() + " は読み取り専用で開かれています。");
  if (const int injected = InjectedWriteError(); injected != 0) return WriteFailed(path_, injected);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return WriteFailed(path_, errno);
    done += static_cast<size_t>(n);
  }
  if (offset + bytes.size() > size_) size_ = offset + bytes.size();
  return {};
}

Status RecordFile::Write(int64_t recordNo, const Record& record) {
  if (recordNo < 1) return Fail(ErrorKind::Invalid, "レコード番号が不正です。");
  std::string bytes = record.bytes();
  bytes.resize(recordLength_, '\0');
  return WriteBytesAt(static_cast<uint64_t>(recordNo - 1) * recordLength_, bytes);
}

}  // namespace meet
