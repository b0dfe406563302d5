#include "settings/window_geometry.h"

#include <algorithm>
#include <climits>

#include "engine/failure.h"

namespace tam {

namespace {
std::int32_t ReadInt(const SettingsStore& store, const std::string& section, const char* key, int def) {
  try {
    return ToInteger(store.Read(section, key, Value::Int(def)));
  } catch (const ScriptFailure&) {
    return def;
  }
}
}  // namespace

bool SaveWindowGeometry(SettingsStore& store, const std::string& section, const SavedPlacement& p) {
  if (p.sizeable) {
    store.Write(section, "Width", Value::Int(p.normal.right - p.normal.left));
    store.Write(section, "Height", Value::Int(p.normal.bottom - p.normal.top));
  }
  store.Write(section, "Left", Value::Int(p.normal.left));
  store.Write(section, "Top", Value::Int(p.normal.top));
  const char* state = p.state == WindowState::kMinimized   ? "Minimized"
                      : p.state == WindowState::kMaximized ? "Maximized"
                                                           : "Normal";
  store.Write(section, "State", Value::Str(state));
  return store.Save();
}

LoadedBounds LoadWindowGeometry(const SettingsStore& store, const std::string& section, const CurrentBounds& now) {
  // Stored numbers may be anything a user typed: compute wide, so that none overflows.
  // The stored position is in work-area coordinates, the window's in screen
  // ones; a missing entry means where the window is now.
  long long left = now.left, top = now.top;
  if (now.havePlacement) {
    left += static_cast<long long>(ReadInt(store, section, "Left", now.normal.left)) - now.normal.left;
    top += static_cast<long long>(ReadInt(store, section, "Top", now.normal.top)) - now.normal.top;
  } else {
    left = ReadInt(store, section, "Left", now.left);
    top = ReadInt(store, section, "Top", now.top);
  }
  long long width = now.width, height = now.height;
  if (now.sizeable) {
    width = std::max(0, ReadInt(store, section, "Width", now.width));
    height = std::max(0, ReadInt(store, section, "Height", now.height));
  }
  // Keep the window on the screen.
  if (now.screenWidth - width < left) left = now.screenWidth - width;
  if (left < 0) left = 0;
  if (now.screenHeight - height < top) top = now.screenHeight - height;
  if (top < 0) top = 0;
  LoadedBounds b;
  b.left = static_cast<int>(std::min<long long>(left, INT_MAX));
  b.top = static_cast<int>(std::min<long long>(top, INT_MAX));
  b.width = static_cast<int>(width);
  b.height = static_cast<int>(height);
  Value state = store.Read(section, "State", Value::Str("Normal"));
  std::string text(state.str());
  if (text == "Minimized") b.state = WindowState::kMinimized;
  if (text == "Maximized") b.state = WindowState::kMaximized;
  return b;
}

}  // namespace tam
