#include "i18n/KaRBTree.h"

// There is no system comparison of UTF-16 texts here; the code-unit order is
// total and tells apart every two keys that differ.
int CompareKeys(std::u16string_view a, std::u16string_view b) { return CompareCodeUnits(a, b); }
