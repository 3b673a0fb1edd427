#pragma once

// The system cursors behind the cursor identifiers (Windows only).

#include "ui/KaScreenCursor.h"

#include <windows.h>

// The shared system cursor for `cursor` (crDefault: the arrow; crNone: none).
HCURSOR CursorHandle(TCursor cursor);
