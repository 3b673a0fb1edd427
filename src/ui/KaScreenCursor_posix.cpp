#include "ui/KaScreenCursor.h"

// No windows natively: the stored value is all there is.
void ShowScreenCursor(TCursor) {}
