#include "race_view.h"

#include <algorithm>

#include "fuzz_support.h"
#include "race/frm_kyogi_screen.h"

namespace meet::fuzz {

void ViewRaces(const Settings& settings, int most) {
  QuietPlatform p;
  FrmKyogiScreen screen(Meet(), settings, p.platform);
  if (!screen.Open()) return;
  const int last = std::min(screen.raceCount(), most);
  for (int n = 1; n <= last; ++n) {
    if (!screen.ShowRace(n)) continue;
    // What `race view` prints: the header, the standards panel and the rows.
    size_t width = 0;
    const KyogiHeader& h = screen.header();
    width += h.lblRecord.size() + h.lblShumoku.size() + h.lblYoketu.size() + h.lblZikan.size();
    for (const auto& box : screen.txtTKiro()) width += box.size();
    for (const auto& row : screen.rows()) width += row.txtNamae.size() + row.txtKiro.size() + row.txtQkiro.size();
    if (width == static_cast<size_t>(-1)) std::abort();
  }
}

}  // namespace meet::fuzz
