#include "ui/Font_win.h"

#include "base/KaHandle_win.h"
#include "ui/KaDpi.h"

#include <map>
#include <mutex>
#include <tuple>

namespace {

struct TFontKey {
  TFont Font;
  int DeviceHeight;
  bool operator<(const TFontKey& o) const {
    return std::tie(Font.Name, Font.Height, Font.Style, Font.Charset, DeviceHeight) <
           std::tie(o.Font.Name, o.Font.Height, o.Font.Style, o.Font.Charset, o.DeviceHeight);
  }
};

std::mutex CacheLock;

} // namespace

HFONT FontHandle(const TFont& font) {
  static std::map<TFontKey, TScopedFont> cache;
  // The colour is drawn with the text, not part of the font object.
  TFontKey key{font, ToDevice(font.Height)};
  key.Font.Color = 0;
  std::lock_guard guard(CacheLock);
  auto it = cache.find(key);
  if (it != cache.end())
    return it->second.Get();
  LOGFONTW lf{};
  lf.lfHeight = key.DeviceHeight;
  lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (font.Style & fsItalic) != 0;
  lf.lfUnderline = (font.Style & fsUnderline) != 0;
  lf.lfStrikeOut = (font.Style & fsStrikeOut) != 0;
  lf.lfCharSet = font.Charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  std::u16string name = font.Name.substr(0, LF_FACESIZE - 1);
  name.copy(reinterpret_cast<char16_t*>(lf.lfFaceName), name.size());
  HFONT handle = CreateFontIndirectW(&lf);
  if (!handle)
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  cache.emplace(key, TScopedFont(handle));
  return handle;
}

HBRUSH SolidBrush(TColor color) {
  static std::map<TColor, TScopedBrush> cache;
  std::lock_guard guard(CacheLock);
  auto it = cache.find(color);
  if (it != cache.end())
    return it->second.Get();
  HBRUSH brush = CreateSolidBrush(ColorRef(color));
  cache.emplace(color, TScopedBrush(brush));
  return brush;
}
