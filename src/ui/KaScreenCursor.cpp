#include "ui/KaScreenCursor.h"

namespace {

TCursor Current = crDefault;

} // namespace

TCursor ScreenCursor() { return Current; }

void SetScreenCursor(TCursor cursor) {
  Current = cursor;
  ShowScreenCursor(cursor);
}
