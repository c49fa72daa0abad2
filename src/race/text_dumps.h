// The race screen's text dumps: "旧データ出力" writes the race file, the
// program order, the program pages and the relay file as comma-separated
// text (qkyogi.txt, qpro.txt, qhpro.txt, qrlay.txt), one line per record
// with CR LF; "旧データ入力" reads races (qkyogi.txt) and standards
// (Qsik.txt) back. The text files live in the folder typed into txtDrT
// ("旧ﾃﾞｰﾀﾄﾞﾗｲﾌﾞ"). A text file is read and checked whole before anything is
// written; the data file it replaces is kept under backup/ first.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/platform.h"
#include "core/record_file.h"

namespace meet {

inline constexpr const char* kDumpFolderLabel = "旧ﾃﾞｰﾀﾄﾞﾗｲﾌﾞ";
inline constexpr const char* kRacesDumpName = "qkyogi.txt";
inline constexpr const char* kProgramDumpName = "qpro.txt";
inline constexpr const char* kPagesDumpName = "qhpro.txt";
inline constexpr const char* kRelaysDumpName = "qrlay.txt";
inline constexpr const char* kStandardsDumpName = "Qsik.txt";

inline constexpr int kRacesDumpValues = 108;
inline constexpr int kProgramDumpValues = 15;
inline constexpr int kPagesDumpValues = 3;
inline constexpr int kRelaysDumpValues = 60;
inline constexpr int kStandardsDumpValues = 50;
inline constexpr size_t kMaxDumpLineBytes = 4096;

enum class DumpKind { Races, Program, Pages, Relays };

// The menu item, text file and data file of a write kind.
const char* DumpMenuItem(DumpKind kind);  // "mWKyogi" …
const char* DumpTextName(DumpKind kind);  // "qkyogi.txt" …
const char* DumpDataName(DumpKind kind);  // "taikai.dat" …

// The text file in the folder typed into txtDrT, with or without a final
// separator. An empty box or a folder that is not there is an error.
Result<std::filesystem::path> DumpFilePath(std::string_view txtDrT, std::string_view fileName);

// The standards positions (1-based, (sex − 1) × 29 + event code) filled by
// the 50 values of a Qsik.txt line, in their order.
const std::vector<int>& StandardsDumpPositions();

// One record as its dump line (without the line end), and back: the values
// of a line already split, checked, into the record (fields the line does
// not carry keep the record's bytes). The error names the value.
std::string DumpLine(DumpKind kind, const Record& record);
Status RecordFromDumpValues(DumpKind kind, const std::vector<std::string>& values, Record& record);

// The lines of a dump text: the whole file checked first. Garbage bytes, a
// line longer than kMaxDumpLineBytes, more lines than `maxLines` or a line
// without exactly `values` values is refused, naming the line. Empty lines at
// the end are ignored.
Result<std::vector<std::vector<std::string>>> ParseDumpText(std::string_view bytes, size_t values, size_t maxLines,
                                                            std::string_view fileName);

struct DumpOutcome {
  std::filesystem::path textFile;
  std::filesystem::path dataFile;
  int lines = 0;
  std::filesystem::path backup;  // the old data file kept (import only), empty when there was none
};

// "旧データ出力": the data file of the meet folder (which must be there and
// whole) written to its text file.
Result<DumpOutcome> WriteDump(DumpKind kind, const std::filesystem::path& meetFolder, std::string_view txtDrT);

// "旧データ入力" 競技: qkyogi.txt into taikai.dat (races 1..lines and the race
// count; later races stay outside the count; the meet day byte of a race is
// kept). Asks first when taikai.dat holds races.
Result<DumpOutcome> ReadRacesDump(const std::filesystem::path& meetFolder, std::string_view txtDrT,
                                  Platform& platform);
// "旧データ入力" 記録: Qsik.txt into standards records 1, 2, 3 … of shikaku.dat
// (created when missing). Asks first when shikaku.dat is there.
Result<DumpOutcome> ReadStandardsDump(const std::filesystem::path& meetFolder, std::string_view txtDrT,
                                      Platform& platform);

}  // namespace meet
