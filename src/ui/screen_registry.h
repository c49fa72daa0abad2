// The screens the hub's buttons open. A screen is registered under the
// button that opens it ("cmdZikko"); the hub enables a button only when its
// screen is registered. Whether the hub saves first and whether it closes
// comes from the hub's screen map (ScreenMap in data/hub.h).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/platform.h"
#include "data/hub.h"

class QWidget;

namespace meet::ui {

// Makes the screen's top-level window from the hub's state as it stands when
// the button is pressed (after saving, where the button saves first). The
// window is shown by the hub and deleted when it is closed.
using ScreenFactory = std::function<QWidget*(const HubState& state, Platform& platform)>;

void RegisterScreen(std::string_view button, ScreenFactory factory);
void UnregisterScreen(std::string_view button);
// The factory registered for the button, or nullptr.
const ScreenFactory* FindScreen(std::string_view button);

}  // namespace meet::ui
