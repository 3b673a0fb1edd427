#include "ui/Image_win.h"

void TImage::SetPicture(std::shared_ptr<const TBitmap> picture) {
  FPicture = std::move(picture);
  Invalidate();
}

void TImage::LoadFromPng(const TPngImage& image) {
  SetPicture(std::make_shared<const TBitmap>(TBitmap::FromPng(image)));
}

void TImage::Paint(HDC dc) {
  if (FPicture)
    FPicture->AlphaDraw(dc, 0, 0);
}
