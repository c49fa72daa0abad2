// The race screen's print menu "印刷" (mInsatu) for the race shown:
// "ランキング" (mLpRank) the event's results, "レース" (mLpRace) the race
// sheet, "ラップ" (mLpLap) the lap sheet; "プログラム" (mLpPage) opens program
// printing on the page that holds the race. Each prints one copy on the
// platform given (the printer, or the preview).
#pragma once

#include "core/error.h"
#include "core/platform.h"
#include "race/frm_kyogi_screen.h"

namespace meet {

Status mLpRank(const FrmKyogiScreen& screen, Platform& platform);
Status mLpRace(const FrmKyogiScreen& screen, Platform& platform);
Status mLpLap(const FrmKyogiScreen& screen, Platform& platform);

}  // namespace meet
