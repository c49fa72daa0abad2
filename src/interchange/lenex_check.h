#pragma once
// The Lenex validator (`meetctl lenex check`). Lenex has no schema; its
// element documentation says which attributes and elements are required, the
// form of each data type, the code lists and which ids are unique. Each
// finding names the element by its path, items of a collection (and elements
// with siblings of their name) by their place among them:
//   /LENEX/MEETS/MEET[1]/SESSIONS/SESSION[2]/EVENTS/EVENT[3]: eventid がありません
// Messages:
//   NAME がありません                         a required attribute or element is missing
//   NAME が N 個あります（一つだけです）        an element allowed once is there N times
//   course がありません（MEET にも course がありません）
//   name がありません（stroke が UNKNOWN の泳法です）
//   ATTR N が重複しています（最初は PATH）       an id, or a number that must be unique
//   ATTR N に当たる ELEMENT がありません        a reference that resolves nowhere
//   ATTR "V" は整数ではありません
//   ATTR "V" は日付（YYYY-MM-DD）ではありません
//   ATTR "V" は時刻（HH:MM）ではありません
//   ATTR "V" は競泳タイム（HH:MM:SS.ss か NT）ではありません
//   ATTR "V" は反応時間（+14、-3、0 の形）ではありません
//   ATTR "V" は国コードではありません
//   ATTR "V" は使える値ではありません（A, B, …）
//   ATTR N は 1 以上のはずです
//   distance N が前の SPLIT（M）より大きくありません
//   swimtime T が前の SPLIT（U）より大きくありません

#include <string>
#include <vector>

#include "interchange/lenex_read.h"

namespace meet {

struct LenexFinding {
  std::string path;
  std::string message;
  std::string Line() const { return path + ": " + message; }
};

std::vector<LenexFinding> CheckLenex(const LenexDocument& document);

// "点検: 問題は見つかりませんでした。" or "点検: 問題が 3 件見つかりました。"
std::string LenexCheckSummary(size_t findings);

}  // namespace meet
