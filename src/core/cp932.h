// Text in the meet's files is CP932 (Shift-JIS with the NEC and IBM
// extensions); inside the system it is UTF-8. Widths are CP932 byte widths: a
// full-width character counts two columns, a half-width katakana one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace meet {

// CP932 bytes to UTF-8. Bytes that do not decode become U+FFFD; never fails.
std::string DecodeCp932(std::string_view bytes);
inline std::string DecodeCp932(std::span<const uint8_t> bytes) {
  return DecodeCp932(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// UTF-8 to CP932 bytes. Characters CP932 cannot hold become "?"; invalid
// UTF-8 sequences likewise. Never fails.
std::string EncodeCp932(std::string_view utf8);

// The length of the text in CP932 bytes (`AnsiLen`).
int AnsiLen(std::string_view utf8);
// The display width of the text: the same CP932 byte count (`LenMbcs`).
inline int LenMbcs(std::string_view utf8) { return AnsiLen(utf8); }

// The longest leading part of the text whose CP932 width is at most `width`
// bytes; a double-byte character is never split.
std::string CutToWidth(std::string_view utf8, int width);
// The text cut to `width` and then filled with blanks to exactly `width` bytes.
std::string PadToWidth(std::string_view utf8, int width);
// Blanks in front so that the text is exactly `width` bytes wide (cut first).
std::string PadLeftToWidth(std::string_view utf8, int width);

// Characters of a UTF-8 text (code points), and the first n of them.
int CharCount(std::string_view utf8);
std::string LeftChars(std::string_view utf8, int count);
std::string MidChars(std::string_view utf8, int start0, int count);

// Blanks and NULs removed at the end ("texts as read" in listings).
std::string TrimRight(std::string_view text);
// Half-width blanks removed at both ends.
std::string Trim(std::string_view text);

}  // namespace meet
