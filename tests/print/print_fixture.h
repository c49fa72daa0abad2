// A meet folder for the document printers: the race screen's hand-built race,
// entry and relay files plus program pages, and lookups over what was printed.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "print/pages_test_bytes.h"
#include "print/print_sources.h"
#include "race/kyogi_fixture.h"

namespace meet::test {

struct PrintMeet : KyogiMeet {
  PrintMeet() {
    settings.laneCount = 8;
    settings.prefecturePrint = "0";
    settings.affiliationMode = "0";
  }
  MeetFiles files() const { return MeetFiles{dir.path(), settings}; }
  // Pages, each a list of up to eight race numbers.
  void Pages(const std::vector<std::array<int, 8>>& pages) {
    std::string bytes = PageHeader(static_cast<int>(pages.size()));
    for (const auto& p : pages)
      bytes += PageRecord(static_cast<int>(std::count_if(p.begin(), p.end(), [](int r) { return r != 0; })), p);
    WriteFile(dir / "hpro.dat", bytes);
  }
  const std::vector<PrintedItem>& items() const { return fake.printer.items; }
  // The first text item equal to `text`, or nullptr.
  const PrintedItem* Item(const std::string& text) const {
    for (const PrintedItem& i : items())
      if (i.text == text) return &i;
    return nullptr;
  }
  // The texts printed on a line (y) of a page, left to right as printed.
  std::vector<std::string> Line(int page, int y) const {
    std::vector<std::string> out;
    for (const PrintedItem& i : items())
      if (i.page == page && i.y == y && !i.isLine) out.push_back(i.text);
    return out;
  }
};

// A swimmer of the hand-built entry file.
inline HandEntry Swimmer(const std::string& name, const std::string& affiliation = "青葉ＳＣ", int age = 12) {
  return HandEntry{"2301234567", name, "ｱｵﾊﾞ", "東京都", affiliation, "23", age};
}

}  // namespace meet::test
