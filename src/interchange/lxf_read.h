#pragma once
// Reading a Lenex file from outside: a .lxf (a zip holding one .lef) or a
// plain .lef, as its bytes, refused whole when it is no file we can safely
// read. What is refused, with its message:
//   - no regular file (a folder, a pipe; a link is followed to the file it
//     names), as every reader of the system does;
//   - a file, or the .lef inside a zip, larger than kMaxLenexBytes; the size a
//     zip declares is checked before anything is inflated, and inflating stops
//     at the cap whatever the zip declared (zip bombs);
//   - a .lxf that is no zip, a damaged zip, a zip with no .lef or several;
//   - an empty file, text that is not UTF-8 or holds control characters XML
//     does not allow;
//   - a DOCTYPE declaring entities (entity expansion bombs), elements nested
//     deeper than kMaxLenexDepth, more than kMaxLenexNodes elements and
//     attributes (what the parsed tree would hold in memory).

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/error.h"

namespace meet {

// 128 MiB: a meet of 20,000 swimmers with results and splits is a few tens of MB.
inline constexpr uint64_t kMaxLenexBytes = 128ull << 20;
// A Lenex tree is about a dozen levels deep (LENEX … RELAYPOSITION/MEETINFO).
inline constexpr int kMaxLenexDepth = 64;
inline constexpr uint64_t kMaxLenexNodes = 16'000'000;

// The .lef text of the file at `path` (zip or plain XML, told by its first
// bytes; a .lxf must be a zip), checked as above.
Result<std::string> ReadLenexText(const std::filesystem::path& path);

// The same for bytes already read; `name` names them in messages. Bytes that
// start as a zip does are read as a zip.
Result<std::string> LenexTextFromBytes(std::string bytes, std::string_view name);

// The one .lef inside the zip's bytes, refused past `maxBytes` (tests give a
// small cap).
Result<std::string> LefFromZip(std::string_view zipBytes, std::string_view name,
                               uint64_t maxBytes = kMaxLenexBytes);

// Refuses text that is no safe XML for the parser (the last four rules above).
Status CheckLenexText(std::string_view text, std::string_view name);

}  // namespace meet
