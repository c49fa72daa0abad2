// The race screen's menus "旧データ出力" (mWork) and "旧データ入力" (mIn) with
// the folder box txtDrT ("旧ﾃﾞｰﾀﾄﾞﾗｲﾌﾞ"): wired onto the screen's menu items
// and box by their objectNames.
#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>

#include "core/platform.h"

namespace meet::ui {

// Enables the six menu items and txtDrT of the race screen `kyogi`. After
// races were read in, `racesChanged` is called so that the screen shows them.
void AttachTextDumps(QWidget* kyogi, std::filesystem::path meetFolder, Platform& platform,
                     std::function<void()> racesChanged);

}  // namespace meet::ui
