#include "i18n/KaRBTree.h"

#include <windows.h>

int CompareKeys(std::u16string_view a, std::u16string_view b) {
  int r = CompareStringW(LOCALE_USER_DEFAULT, 0, reinterpret_cast<const wchar_t*>(a.data()),
                         static_cast<int>(a.size()), reinterpret_cast<const wchar_t*>(b.data()),
                         static_cast<int>(b.size()));
  if (r == CSTR_LESS_THAN)
    return -1;
  if (r == CSTR_GREATER_THAN)
    return 1;
  // The locale calls some different texts equal (it ignores characters without
  // weight); such keys, and a failed comparison, fall back to the code units so
  // that no key is refused as a duplicate of another or found in its place.
  return CompareCodeUnits(a, b);
}
