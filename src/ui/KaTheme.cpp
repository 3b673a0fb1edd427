#include "ui/KaTheme.h"

IThemePtr TThemeManager::GetTheme() {
  if (!FCurrent)
    FCurrent = std::make_shared<TBlueTheme>();
  return FCurrent;
}

void TThemeManager::SetTheme(IThemePtr theme) {
  FCurrent = theme ? std::move(theme) : std::make_shared<TBlueTheme>();
  FListeners.ForEach([](IThemeable& listener) { listener.ThemeChanged(); });
}

int32_t TThemeManager::AddListener(IThemeable* listener) { return FListeners.Add(listener); }

int32_t TThemeManager::RemoveListener(IThemeable* listener) { return FListeners.Remove(listener); }

IThemeManagerPtr ThemeManager() {
  static const IThemeManagerPtr single = std::make_shared<TThemeManager>();
  return single;
}

IThemePtr CurrentTheme() { return ThemeManager()->GetTheme(); }
