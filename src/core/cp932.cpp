#include "core/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace meet {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One iconv descriptor per direction, shared and guarded: opening them is slow.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts one chunk; returns false when the input is invalid or incomplete.
  bool Convert(std::string_view in, std::string& out) {
    std::lock_guard<std::mutex> lock(mutex_);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[64];
    std::string result;
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      result.append(buffer, outPtr - buffer);
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
    result.append(buffer, outPtr - buffer);
    out.append(result);
    return true;
  }

 private:
  iconv_t cd_;
  std::mutex mutex_;
};

Converter& Decoder() {
  static Converter c("UTF-8", "CP932");
  return c;
}
Converter& Encoder() {
  static Converter c("CP932", "UTF-8");
  return c;
}

bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not valid.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
  uint8_t b = static_cast<uint8_t>(s[i]);
  size_t n;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) n = 2;
  else if (b >= 0xE0 && b <= 0xEF) n = 3;
  else if (b >= 0xF0 && b <= 0xF4) n = 4;
  else return 0;
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((static_cast<uint8_t>(s[i + k]) & 0xC0) != 0x80) return 0;
  }
  return n;
}

// CP932 width of one UTF-8 character.
int CharWidth(std::string_view ch) {
  if (ch.size() == 1) return 1;
  std::string bytes = EncodeCp932(ch);
  return bytes.empty() ? 1 : static_cast<int>(bytes.size());
}

}  // namespace

std::string DecodeCp932(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  size_t i = 0;
  while (i < bytes.size()) {
    uint8_t b = static_cast<uint8_t>(bytes[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    size_t n = 1;
    if (IsLeadByte(b)) {
      if (i + 1 >= bytes.size() || !IsTrailByte(static_cast<uint8_t>(bytes[i + 1]))) {
        out.append(kReplacement);
        ++i;
        continue;
      }
      n = 2;
    }
    std::string piece;
    if (Decoder().ok() && Decoder().Convert(bytes.substr(i, n), piece) && !piece.empty()) {
      out.append(piece);
    } else {
      out.append(kReplacement);
    }
    i += n;
  }
  return out;
}

std::string EncodeCp932(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    uint8_t b = static_cast<uint8_t>(utf8[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    size_t n = Utf8SequenceLength(utf8, i);
    if (n == 0) {
      out.push_back('?');
      ++i;
      continue;
    }
    std::string piece;
    if (Encoder().ok() && Encoder().Convert(utf8.substr(i, n), piece) && !piece.empty()) {
      out.append(piece);
    } else {
      out.push_back('?');
    }
    i += n;
  }
  return out;
}

int AnsiLen(std::string_view utf8) { return static_cast<int>(EncodeCp932(utf8).size()); }

std::string CutToWidth(std::string_view utf8, int width) {
  std::string out;
  int used = 0;
  size_t i = 0;
  while (i < utf8.size()) {
    size_t n = Utf8SequenceLength(utf8, i);
    if (n == 0) n = 1;
    int w = CharWidth(utf8.substr(i, n));
    if (used + w > width) break;
    out.append(utf8.substr(i, n));
    used += w;
    i += n;
  }
  return out;
}

std::string PadToWidth(std::string_view utf8, int width) {
  std::string out = CutToWidth(utf8, width);
  int w = AnsiLen(out);
  if (w < width) out.append(width - w, ' ');
  return out;
}

std::string PadLeftToWidth(std::string_view utf8, int width) {
  std::string cut = CutToWidth(utf8, width);
  int w = AnsiLen(cut);
  return std::string(w < width ? width - w : 0, ' ') + cut;
}

int CharCount(std::string_view utf8) {
  int count = 0;
  for (size_t i = 0; i < utf8.size();) {
    size_t n = Utf8SequenceLength(utf8, i);
    i += n == 0 ? 1 : n;
    ++count;
  }
  return count;
}

std::string MidChars(std::string_view utf8, int start0, int count) {
  std::string out;
  int index = 0;
  for (size_t i = 0; i < utf8.size() && index < start0 + count;) {
    size_t n = Utf8SequenceLength(utf8, i);
    if (n == 0) n = 1;
    if (index >= start0) out.append(utf8.substr(i, n));
    i += n;
    ++index;
  }
  return out;
}

std::string LeftChars(std::string_view utf8, int count) { return MidChars(utf8, 0, count); }

std::string TrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\0')) --end;
  return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace meet
