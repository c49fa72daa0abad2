#include "core/naming.h"

#include <array>

#include "core/cp932.h"
#include "core/numbers.h"

namespace meet {

namespace {

constexpr std::array<const char*, 35> kRecordClasses = {
    "",     "世界", "世大", "世高", "世中", "世学", "アジ", "ア大", "ア高", "ア中", "ア学", "日本",
    "日大", "日高", "日中", "日学", "地方", "地大", "地高", "地中", "地学", "県　", "県大", "県高",
    "県中", "県学", "地区", "区大", "区高", "区中", "区学", "大会", "標準1", "標準2", "標準4",
};

constexpr std::array<const char*, 30> kEvents = {
    "",
    "25m自由形",        "50m自由形",        "100m自由形",   "200m自由形",       "400m自由形",
    "800m自由形",       "1500m自由形",      "25m背泳ぎ",    "50m背泳ぎ",        "100m背泳ぎ",
    "200m背泳ぎ",       "25m平泳ぎ",        "50m平泳ぎ",    "100m平泳ぎ",       "200m平泳ぎ",
    "25mバタフライ",    "50mバタフライ",    "100mバタフライ", "200mバタフライ", "100m個人メドレー",
    "200m個人メドレー", "400m個人メドレー", "100mメドレーリレー", "200mメドレーリレー", "400mメドレーリレー",
    "100mリレー",       "200mリレー",       "400mリレー",   "800mリレー",
};

constexpr std::array<const char*, 29> kEventCodes = {
    "10", "11", "12", "13", "14", "15", "16",  // 自由形 25m–1500m
    "20", "21", "22", "23",                    // 背泳ぎ
    "30", "31", "32", "33",                    // 平泳ぎ
    "40", "41", "42", "43",                    // バタフライ
    "52", "53", "54",                          // 個人メドレー
    "62", "63", "64",                          // メドレーリレー
    "72", "73", "74", "75",                    // リレー
};

// Scheme 0/1, codes 51–65 and 70–74.
constexpr std::array<const char*, 15> kLettersA = {"Ａ", "Ｂ", "Ｃ", "Ｄ", "Ｅ", "Ｆ", "Ｇ", "Ｈ",
                                                   "Ｉ", "Ｊ", "Ｋ", "Ｌ", "Ｍ", "Ｎ", "Ｏ"};
constexpr std::array<const char*, 5> kLettersP = {"Ｐ", "Ｑ", "Ｒ", "Ｓ", "Ｔ"};
constexpr std::array<const char*, 7> kAgeSums = {"90-119歳",  "120-159歳", "160-199歳", "200-239歳",
                                                 "240-279歳", "280-319歳", "320歳以上"};

// Scheme 2, codes 50–79.
constexpr std::array<const char*, 30> kScheme2 = {
    "",    "Ｕ1", "Ｕ2", "Ｕ3", "Ｕ4", "UL1", "UL2", "UL3", "UL4", "Ｌ1",  // 50–59
    "Ｌ2", "Ｌ3", "Ｌ4", "Ｌ4", "Ａ",  "C11", "C12", "Ｃ2", "Ｃ3", "Ｃ4",  // 60–69
    "Ｃ5", "Ｃ6", "Ｃ7", "Ｃ8", "Ｂ1", "Ｂ2", "Ｂ3", "Ｄ",  "",    "",     // 70–79
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string ReplaceControlsWithBlanks(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return out;
}

std::string RemoveAll(std::string text, std::string_view what) {
  for (size_t pos; (pos = text.find(what)) != std::string::npos;) text.erase(pos, what.size());
  return text;
}

// Blanks and NULs gone from both ends: how the texts of the entry file's own
// events are shown.
std::string TrimField(std::string_view text) { return Trim(TrimRight(ReplaceControlsWithBlanks(text))); }

// The text padded with blanks to `chars` characters, as a fixed-length field reads.
std::string WidenToChars(std::string text, int chars) {
  int have = CharCount(text);
  if (have < chars) text.append(static_cast<size_t>(chars - have), ' ');
  return text;
}

}  // namespace

std::string RecordClassAbbrev(int code) {
  if (code >= 1 && code <= 34) return kRecordClasses[static_cast<size_t>(code)];
  if (code == 99) return "OP";
  return {};
}

std::string RoundName(std::string_view code) {
  if (code == "1") return "予選";
  if (code == "2") return "決勝";
  if (code == "3") return "準決勝";
  if (code == "4") return "ｺﾝｿﾚｰｼｮﾝ";
  return {};
}

std::string SexName(std::string_view code) {
  if (code == "1") return "男子";
  if (code == "2") return "女子";
  if (code == "3") return "混合";
  return {};
}

std::string EventName(int code, const NamingContext& ctx) {
  if (code >= 1 && code <= 29) return kEvents[static_cast<size_t>(code)];
  if (code >= 30 && code <= 44) return TrimField(ctx.extraEventNames[static_cast<size_t>(code - 30)]);
  return {};
}

std::string EventCodeFromIndex(int index) {
  if (index < 0 || index > 28) return {};
  return kEventCodes[static_cast<size_t>(index)];
}

std::optional<int> EventIndexFromCode(std::string_view code) {
  if (code.empty() || !IsDigit(code.back())) return std::nullopt;
  static constexpr std::array<int, 10> kOffsets = {-1, 0, 7, 11, 15, 17, 20, 23, 29, 39};
  char s = code.front();
  if (s < '1' || s > '9') return std::nullopt;
  return (code.back() - '0') + kOffsets[static_cast<size_t>(s - '0')];
}

std::string ClassName(std::string_view codeText, int scheme) {
  // The code written as two characters, right-aligned.
  std::string s(codeText);
  if (s.size() < 2) s.insert(0, 2 - s.size(), ' ');
  if (scheme == 0 || scheme == 1) {
    if (s.size() == 2 && s[0] == ' ' && s[1] >= '5' && s[1] <= '9') {
      static constexpr std::array<const char*, 5> kSmall = {"幼児", "年少", "年中", "年長", "園児"};
      return kSmall[static_cast<size_t>(s[1] - '5')];
    }
    if (static_cast<unsigned char>(s[0]) < '1') return {};
    if (s.size() != 2 || !IsDigit(s[0]) || !IsDigit(s[1])) return {};
    int code = (s[0] - '0') * 10 + (s[1] - '0');
    std::string second(1, s[1]);
    if (code <= 19) return "小" + second;
    if (code <= 29) return "中" + second;
    if (code <= 39) return "高" + second;
    if (code <= 49) return "大" + second;
    if (code >= 51 && code <= 65) return kLettersA[static_cast<size_t>(code - 51)];
    if (code >= 70 && code <= 74) return kLettersP[static_cast<size_t>(code - 70)];
    if (code >= 75 && code <= 81) return kAgeSums[static_cast<size_t>(code - 75)];
    switch (code) {
      case 82: return "中";
      case 83: return "高";
      case 84: return "Ｌ";
      case 85: return "E*";
      case 86: return "F*";
      case 87: return "G*";
      case 88: return "H*";
      case 92: return "spM";
      default: return {};
    }
  }
  if (scheme == 2) {
    if (s.size() != 2 || !IsDigit(s[0]) || !IsDigit(s[1]) || s[0] < '5' || s[0] > '7') return {};
    int code = (s[0] - '0') * 10 + (s[1] - '0');
    return kScheme2[static_cast<size_t>(code - 50)];
  }
  return {};
}

std::string ClassName(int code, int scheme) { return ClassName(NumberText(code), scheme); }

std::string ClassLabel(int from, int to, int eventCode, const NamingContext& ctx) {
  if (eventCode >= 30) {
    if (eventCode > 44) return {};
    return TrimField(ctx.extraClassNames[static_cast<size_t>(eventCode - 30)]);
  }
  std::string label;
  if (ctx.classMode == "1") {
    label = NumberText(from) + "- " + NumberText(to) + "才";
    if (from < 2) label = NumberText(to) + "才以下";
    if (to == 100) label = NumberText(from) + "才以上";
    if (from == to) label = NumberText(from) + "才";
    if (from < 2 && to == 100) label.clear();
  } else if (ctx.classMode == "2") {
    int scheme = ctx.classScheme;
    label = ClassName(from, scheme) + "-" + ClassName(to, scheme);
    if (from < 2) label = ClassName(to, scheme) + "以下 ";
    if (to == 100) label = ClassName(from, scheme) + "以上 ";
    if (from == to) label = ClassName(from, scheme) + " ";
    if (from < 2 && to == 100) label.clear();
  } else {
    return {};  // 無別: no label, and nothing else applies
  }
  if (ctx.optionalCategories == "1") {
    for (const auto& c : ctx.categories) {
      if (c.from == from && c.to == to && c.eventFrom <= eventCode && eventCode <= c.eventTo) {
        std::string name = RemoveAll(RemoveAll(ReplaceControlsWithBlanks(c.name), " "), "　");
        return name;
      }
    }
  }
  if (ctx.classMode == "2") {
    if (from == 51 && to == 63) return "ﾏｽﾀｰｽﾞ";
    if (from == 64 && to == 69) return "ﾏｽﾀｰｽﾞ";
    if (from == 71 && to == 76) return "実業団";
    if (from == 85 && to == 88) return "健福祭";
  }
  return label;
}

std::string AffiliationText(const AffiliationFields& entry, std::string_view mode) {
  std::string text;
  if (mode == "0") {
    // The team field cut back to its stored bytes: exactly what the 12 bytes decode to.
    text = entry.affiliation;
  } else if (mode == "1") {
    text = WidenToChars(entry.prefName, 8);
  } else if (mode == "2") {
    std::string pref = LeftChars(entry.regNo, 2);
    if (pref >= "01" && pref <= "30") text = "tatiiki";
    else if (pref >= "31" && pref <= "35") text = "中国";
    else if (pref >= "36" && pref <= "47") text = "tatiiki2";
    else text = "宇宙";
  } else if (mode == "3") {
    text = WidenToChars(entry.affiliation, 12);
  }
  return ReplaceControlsWithBlanks(text);
}

std::string CleanName(std::string_view textIn, int mode) {
  std::string text = Trim(ReplaceControlsWithBlanks(textIn));
  if (mode == 1) {
    int chars = CharCount(text);
    if (chars < 5) return std::string(static_cast<size_t>(5 - chars), ' ') + text;
    size_t from = text.find(' ');
    while (chars > 5 && from != std::string::npos) {
      text.erase(from, 1);
      --chars;
      from = text.find(' ', from);
    }
    return text;
  }
  if (mode == 2) return RemoveAll(RemoveAll(text, " "), "　");
  return text;
}

}  // namespace meet
