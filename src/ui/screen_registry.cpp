#include "ui/screen_registry.h"

#include <map>

namespace meet::ui {

namespace {

std::map<std::string, ScreenFactory, std::less<>>& Screens() {
  static std::map<std::string, ScreenFactory, std::less<>> screens;
  return screens;
}

}  // namespace

void RegisterScreen(std::string_view button, ScreenFactory factory) {
  Screens()[std::string(button)] = std::move(factory);
}

void UnregisterScreen(std::string_view button) {
  auto it = Screens().find(button);
  if (it != Screens().end()) Screens().erase(it);
}

const ScreenFactory* FindScreen(std::string_view button) {
  auto it = Screens().find(button);
  return it == Screens().end() || !it->second ? nullptr : &it->second;
}

}  // namespace meet::ui
