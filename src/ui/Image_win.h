#pragma once

// A picture on its parent (Windows only): a graphic control that blends its
// bitmap by the picture's alpha over whatever lies beneath, at its top-left
// corner and unscaled. Pictures are shared: giving one image's picture to
// another copies nothing.

#include "ui/Bitmap_win.h"
#include "ui/GraphicControl_win.h"

#include <memory>

class TImage : public TGraphicControl {
public:
  explicit TImage(TWinControl* parent) : TGraphicControl(parent) {}

  const std::shared_ptr<const TBitmap>& Picture() const { return FPicture; }
  void SetPicture(std::shared_ptr<const TBitmap> picture);
  void LoadFromPng(const TPngImage& image);

protected:
  void Paint(HDC dc) override;

private:
  std::shared_ptr<const TBitmap> FPicture;
};
