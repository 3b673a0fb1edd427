#include "ui/GraphicControl_win.h"

TGraphicControl::TGraphicControl(TWinControl* parent) : TControl(parent) {}
