#include "interchange/lxf_read.h"

#include <zip.h>

#include <memory>
#include <vector>

#include "core/file_names.h"

namespace meet {

namespace {

std::string Str(std::string_view s) { return std::string(s); }

std::string MegaBytes() { return std::to_string(kMaxLenexBytes >> 20) + " MB"; }

bool LooksLikeZip(std::string_view bytes) {
  return bytes.starts_with(std::string_view("PK\x03\x04", 4)) || bytes.starts_with(std::string_view("PK\x05\x06", 4)) ||
         bytes.starts_with(std::string_view("PK\x07\x08", 4));
}

// A .lef entry of the zip. The copies of file attributes a Mac adds to the
// zips it makes ("__MACOSX/._NAME.lef") are none.
bool IsLefEntry(std::string_view name) {
  if (name.size() <= 4 || !SameNameIgnoringCase(name.substr(name.size() - 4), ".lef")) return false;
  const size_t slash = name.rfind('/');
  const std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
  return !name.starts_with("__MACOSX/") && !base.starts_with("._");
}

size_t LineAt(std::string_view text, size_t offset) {
  size_t line = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i) line += text[i] == '\n';
  return line;
}

// The offset of the first byte that is no part of well-formed UTF-8 (overlong
// forms, surrogates and code points past U+10FFFF included), or npos.
size_t FirstBadUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    const unsigned c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    unsigned cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return i;
    }
    if (i + len > n) return i;
    for (size_t k = 1; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return i;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
      return i;
    i += len;
  }
  return std::string_view::npos;
}

// The offset of the first character XML 1.0 does not allow (controls other
// than tab, line feed and carriage return; U+FFFE and U+FFFF), or npos. The
// text is well-formed UTF-8.
size_t FirstForbiddenCharacter(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return i;
    if (c == 0xEF && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xBF &&
        (static_cast<unsigned char>(s[i + 2]) == 0xBE || static_cast<unsigned char>(s[i + 2]) == 0xBF))
      return i;
  }
  return std::string_view::npos;
}

// Walks the markup once without building anything: the depth of elements, the
// count of elements and attributes, and the declarations (DOCTYPE) with their
// internal subset. What is malformed is left to the parser to report.
Status ScanMarkup(std::string_view t, std::string_view name) {
  int depth = 0;
  uint64_t nodes = 0;
  size_t i = 0;
  auto skipTo = [&](std::string_view end, size_t from) {
    const size_t at = t.find(end, from);
    return at == std::string_view::npos ? t.size() : at + end.size();
  };
  while ((i = t.find('<', i)) != std::string_view::npos) {
    const std::string_view rest = t.substr(i);
    if (rest.starts_with("<!--")) {
      i = skipTo("-->", i + 4);
    } else if (rest.starts_with("<![CDATA[")) {
      i = skipTo("]]>", i + 9);
    } else if (rest.starts_with("<?")) {
      i = skipTo("?>", i + 2);
    } else if (rest.starts_with("<!")) {
      // A declaration: to its '>' outside quotes and outside [ … ].
      size_t k = i + 2;
      int bracket = 0;
      char quote = 0;
      for (; k < t.size(); ++k) {
        const char c = t[k];
        if (quote) {
          if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '[') {
          ++bracket;
        } else if (c == ']') {
          if (bracket > 0) --bracket;
        } else if (c == '>' && bracket == 0) {
          break;
        }
      }
      if (t.substr(i, k - i).find("<!ENTITY") != std::string_view::npos)
        return Fail(ErrorKind::Format,
                    Str(name) + " は DOCTYPE で実体（ENTITY）を宣言しているため、読みません（XML の展開爆弾を防ぐため）。");
      i = k + 1;
    } else if (rest.starts_with("</")) {
      if (depth > 0) --depth;
      i = skipTo(">", i + 2);
    } else {
      ++nodes;
      size_t k = i + 1;
      char quote = 0;
      for (; k < t.size(); ++k) {
        const char c = t[k];
        if (quote) {
          if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '=') {
          ++nodes;
        } else if (c == '>') {
          break;
        }
      }
      if (k >= t.size() || t[k - 1] != '/') {
        if (++depth > kMaxLenexDepth)
          return Fail(ErrorKind::Format, Str(name) + " は要素の入れ子が " + std::to_string(kMaxLenexDepth) +
                                             " 段を超えるため、読みません。");
      }
      if (nodes > kMaxLenexNodes)
        return Fail(ErrorKind::Format, Str(name) + " は要素と属性が " + std::to_string(kMaxLenexNodes) +
                                           " 個を超えるため、読みません。");
      i = k + 1;
    }
  }
  return {};
}

struct ZipCloser {
  void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
  void operator()(zip_file_t* f) const { zip_fclose(f); }
};

}  // namespace

Status CheckLenexText(std::string_view text, std::string_view name) {
  if (text.empty()) return Fail(ErrorKind::Format, Str(name) + " は空です。");
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF"))
    return Fail(ErrorKind::Format, Str(name) + " は UTF-16 です。Lenex ファイルは UTF-8 で書かれます。");
  if (const size_t bad = FirstBadUtf8(text); bad != std::string_view::npos)
    return Fail(ErrorKind::Format,
                Str(name) + " は UTF-8 ではありません（" + std::to_string(LineAt(text, bad)) + " 行目）。");
  if (const size_t bad = FirstForbiddenCharacter(text); bad != std::string_view::npos)
    return Fail(ErrorKind::Format, Str(name) + " に XML で使えない文字があります（" +
                                       std::to_string(LineAt(text, bad)) + " 行目）。");
  return ScanMarkup(text, name);
}

Result<std::string> LefFromZip(std::string_view zipBytes, std::string_view name, uint64_t maxBytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(zipBytes.data(), zipBytes.size(), 0, &error);
  if (!source) {
    zip_error_fini(&error);
    return Fail(ErrorKind::Io, Str(name) + " を開けません（メモリ不足）。");
  }
  std::unique_ptr<zip_t, ZipCloser> archive(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
  if (!archive) {
    zip_source_free(source);
    const bool notZip = zip_error_code_zip(&error) == ZIP_ER_NOZIP;
    const std::string why = zip_error_strerror(&error);
    zip_error_fini(&error);
    if (notZip && !LooksLikeZip(zipBytes))
      return Fail(ErrorKind::Format, Str(name) + " は zip ではありません（.lxf は .lef を収めた zip です）。");
    // A zip's start with no directory at its end: cut short, most likely.
    if (notZip) return Fail(ErrorKind::Format, Str(name) + " は壊れた zip です（途中で切れているようです）。");
    return Fail(ErrorKind::Format, Str(name) + " は壊れた zip です（" + why + "）。");
  }
  zip_error_fini(&error);

  std::vector<zip_uint64_t> lefs;
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* entry = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
    if (entry && IsLefEntry(entry)) lefs.push_back(static_cast<zip_uint64_t>(i));
  }
  if (lefs.empty()) return Fail(ErrorKind::Format, Str(name) + " に .lef ファイルがありません。");
  if (lefs.size() > 1)
    return Fail(ErrorKind::Format, Str(name) + " に .lef ファイルが " + std::to_string(lefs.size()) +
                                       " 個あります（一つだけのはずです）。");

  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(archive.get(), lefs[0], 0, &st) != 0)
    return Fail(ErrorKind::Format, Str(name) + " は壊れた zip です（" + zip_strerror(archive.get()) + "）。");
  const std::string lefName = st.name ? st.name : "?";
  const std::string inside = Str(name) + " の " + lefName;
  const std::string tooLarge = inside + " は " +
                               (maxBytes == kMaxLenexBytes ? MegaBytes() + " " : std::to_string(maxBytes) + " バイト") +
                               "を超えるため、読みません。";
  if ((st.valid & ZIP_STAT_SIZE) && st.size > maxBytes) return Fail(ErrorKind::Refused, tooLarge);
  if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
    return Fail(ErrorKind::Format, inside + " は暗号化されていて読めません。");

  std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive.get(), lefs[0], 0));
  if (!file) return Fail(ErrorKind::Format, inside + " を取り出せません（" + zip_strerror(archive.get()) + "）。");
  std::string text;
  if (st.valid & ZIP_STAT_SIZE) text.reserve(static_cast<size_t>(st.size));  // at most the cap
  char buffer[65536];
  for (;;) {
    const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
    if (n < 0) return Fail(ErrorKind::Format, inside + " は壊れています（" + zip_file_strerror(file.get()) + "）。");
    if (n == 0) break;
    // Inflating stops at the cap, whatever size the zip declared.
    if (text.size() + static_cast<size_t>(n) > maxBytes) return Fail(ErrorKind::Refused, tooLarge);
    text.append(buffer, static_cast<size_t>(n));
  }
  return text;
}

Result<std::string> LenexTextFromBytes(std::string bytes, std::string_view name) {
  if (bytes.empty()) return Fail(ErrorKind::Format, Str(name) + " は空です。");
  if (bytes.size() > kMaxLenexBytes)
    return Fail(ErrorKind::Refused, Str(name) + " は " + MegaBytes() + " を超えるため、読みません。");
  if (LooksLikeZip(bytes)) {
    auto text = LefFromZip(bytes, name);
    if (!text) return text;
    if (auto ok = CheckLenexText(*text, name); !ok) return std::unexpected(ok.error());
    return text;
  }
  if (auto ok = CheckLenexText(bytes, name); !ok) return std::unexpected(ok.error());
  return bytes;
}

Result<std::string> ReadLenexText(const std::filesystem::path& path) {
  const std::string name = path.string();
  auto bytes = ReadFileHead(path, kMaxLenexBytes + 1);
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound) return Fail(ErrorKind::NotFound, name + " がありません。");
    return std::unexpected(bytes.error());
  }
  if (bytes->size() > kMaxLenexBytes)
    return Fail(ErrorKind::Refused, name + " は " + MegaBytes() + " を超えるため、読みません。");
  if (!bytes->empty() && SameNameIgnoringCase(path.extension().string(), ".lxf") && !LooksLikeZip(*bytes))
    return Fail(ErrorKind::Format, name + " は zip ではありません（.lxf は .lef を収めた zip です）。");
  return LenexTextFromBytes(std::move(*bytes), name);
}

}  // namespace meet
