#include "ui/VoFormModifier_win.h"

#include "base/KaText.h"
#include "ui/Application_win.h"
#include "ui/Font_win.h"
#include "ui/KaDrawing_win.h"
#include "ui/PngResource_win.h"
#include "ui/VoArtwork.h"

// The frame's answers are the system's hit-test codes.
static_assert(int(TVoFrameHit::Caption) == HTCAPTION);
static_assert(int(TVoFrameHit::Menu) == HTMENU);
static_assert(int(TVoFrameHit::Left) == HTLEFT);
static_assert(int(TVoFrameHit::Right) == HTRIGHT);
static_assert(int(TVoFrameHit::Top) == HTTOP);
static_assert(int(TVoFrameHit::TopLeft) == HTTOPLEFT);
static_assert(int(TVoFrameHit::TopRight) == HTTOPRIGHT);
static_assert(int(TVoFrameHit::Bottom) == HTBOTTOM);
static_assert(int(TVoFrameHit::BottomLeft) == HTBOTTOMLEFT);
static_assert(int(TVoFrameHit::BottomRight) == HTBOTTOMRIGHT);

namespace {

RECT Win(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

// The caption's font: the form's, bold.
TFont CaptionFont(const TForm& form) {
  TFont font = form.Font();
  font.Style |= fsBold;
  return font;
}

} // namespace

TVoFormButton::TVoFormButton(TVoCaptionButton& state, const char* resource)
    : FState(state), FImage(TBitmap::FromPng(LoadPngResource(resource))) {
  FState.Width = FImage.Width() / 5;
  FState.Height = FImage.Height();
  FState.Top = 3;
}

void TVoFormButton::Draw(HDC dc) const {
  if (!FState.Visible)
    return;
  const int frame = FState.Frame();
  FImage.AlphaDraw(dc, FState.Left, FState.Top,
                   {frame * FState.Width, 0, (frame + 1) * FState.Width, FState.Height});
}

TVoCustomFormModifier::TVoCustomFormModifier(TComponent* owner)
    : FForm(dynamic_cast<TForm*>(owner)), FMinimize(FButtons[cbMinimize], VO_MODIFIER_MINIMIZE),
      FMaximize(FButtons[cbMaximize], VO_MODIFIER_MAXIMIZE),
      FClose(FButtons[cbClose], VO_MODIFIER_CLOSE) {
  if (!FForm)
    return;
  FForm->SetBorderStyle(bsNone);
  FSavedWindowProc = FForm->WindowProc;
  FForm->WindowProc = [this](TMessage& m) { WndProc(m); };
  if (FForm->HandleAllocated()) {
    // Made before the modifier: the system's frame goes now.
    HWND window = FForm->Handle();
    LONG style = GetWindowLongW(window, GWL_STYLE);
    style &= ~(WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD);
    SetWindowLongW(window, GWL_STYLE, style | WS_POPUP);
    FrameChanged();
  }
}

TVoCustomFormModifier::~TVoCustomFormModifier() {
  if (FForm)
    FForm->WindowProc = FSavedWindowProc;
}

void TVoCustomFormModifier::FrameChanged() {
  if (FForm && FForm->HandleAllocated())
    SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TVoCustomFormModifier::SetCaption(const std::u16string& caption) {
  if (caption == FCaption)
    return;
  FCaption = caption;
  LanguageChanged();
}

void TVoCustomFormModifier::LanguageChanged() {
  FCaptionText = Translate(FCaption);
  RepaintFrame();
  if (FForm && Application().MainForm() == FForm)
    Application().SetTitle(FromWide(FCaptionText));
}

void TVoCustomFormModifier::SetExitEnabled(bool value) {
  if (value == FClose.Enabled())
    return;
  FClose.SetEnabled(value);
  RepaintFrame();
}

void TVoCustomFormModifier::SetExitVisible(bool value) {
  if (value == FClose.Visible())
    return;
  FClose.SetVisible(value);
  RepaintFrame();
}

void TVoCustomFormModifier::SetMinMaxVisible(bool value) {
  if (value == FMinimize.Visible())
    return;
  FMinimize.SetVisible(value);
  FMaximize.SetVisible(value);
  RepaintFrame();
}

void TVoCustomFormModifier::SetShowCaption(bool value) {
  if (value == FShowCaption)
    return;
  FShowCaption = value;
  // The client area grows or shrinks by the caption bar.
  FrameChanged();
  RepaintFrame();
}

void TVoCustomFormModifier::SetLang(const std::u16string& lang) {
  if (lang == FLang)
    return;
  FLang = lang;
  RepaintFrame();
}

TSize TVoCustomFormModifier::WindowSize() const {
  RECT r;
  GetWindowRect(FForm->Handle(), &r);
  return {r.right - r.left, r.bottom - r.top};
}

TPoint TVoCustomFormModifier::WindowPoint(LPARAM lParam) const {
  RECT r;
  GetWindowRect(FForm->Handle(), &r);
  return {static_cast<short>(LOWORD(lParam)) - r.left, static_cast<short>(HIWORD(lParam)) - r.top};
}

void TVoCustomFormModifier::WndProc(TMessage& m) {
  FSavedWindowProc(m);
  switch (m.Msg) {
  case WM_SIZE:
  case WM_NCPAINT: RepaintFrame(); break;
  case WM_ERASEBKGND: m.Result = 0; break;
  case WM_NCCALCSIZE: {
    RECT* proposed = m.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0]
                              : reinterpret_cast<RECT*>(m.LParam);
    const TRect client = VoFrameClientRect(
        {proposed->left, proposed->top, proposed->right, proposed->bottom}, FShowCaption);
    *proposed = Win(client);
    break;
  }
  case WM_NCHITTEST: {
    TVoFrameHitArea area{WindowSize(), FShowCaption, FResizeEnabled, &FButtons, std::nullopt};
    FButtons.Place(area.Window.Width);
    if (!FLang.empty())
      area.LangBox = FLangRect;
    if (const auto hit = VoFrameHitTest(area, WindowPoint(m.LParam)))
      m.Result = static_cast<LRESULT>(*hit);
    break;
  }
  case WM_NCMOUSEMOVE:
    if (FButtons.Hover(WindowPoint(m.LParam)))
      RepaintFrame();
    break;
  // A second press soon after the first comes as a double click: it is a
  // press all the same, or a quick second click on a button would be lost.
  case WM_NCLBUTTONDOWN:
  case WM_NCLBUTTONDBLCLK: {
    const TPoint p = WindowPoint(m.LParam);
    if (FButtons.Press(p))
      RepaintFrame();
    if (!FLang.empty() && FLangRect.Contains(p))
      Fire(OnLangClick, *this, FLangRect);
    break;
  }
  case WM_NCLBUTTONUP: Release(WindowPoint(m.LParam)); break;
  default: break;
  }
}

void TVoCustomFormModifier::Release(TPoint p) {
  const TVoCaptionButtons::TRelease release = FButtons.Release(p);
  if (release.Repaint)
    RepaintFrame();
  if (!release.Clicked)
    return;
  switch (*release.Clicked) {
  case cbMinimize: {
    // The whole program goes to the task bar, as its main window does.
    TForm* main = Application().MainForm();
    PostMessageW((main ? main : FForm)->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    break;
  }
  case cbMaximize:
    FForm->SetWindowState(FForm->WindowState() == wsNormal ? wsMaximized : wsNormal);
    break;
  case cbClose: FForm->Close(); break;
  }
}

void TVoCustomFormModifier::RepaintFrame() {
  if (!FForm || !FForm->HandleAllocated() || !IsWindowVisible(FForm->Handle()))
    return;
  HWND window = FForm->Handle();
  const TSize size = WindowSize();
  if (FFrameBuffer.Width() != size.Width || FFrameBuffer.Height() != size.Height)
    FFrameBuffer.SetSize(size.Width, size.Height);
  if (FFrameBuffer.Empty())
    return;
  DrawFrame(FFrameBuffer.DC(), size);
  // One copy of the non-client part: the client area is the form's own.
  HDC dc = GetWindowDC(window);
  RECT wr, cr;
  GetWindowRect(window, &wr);
  GetClientRect(window, &cr);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&cr), 2);
  ExcludeClipRect(dc, cr.left - wr.left, cr.top - wr.top, cr.right - wr.left, cr.bottom - wr.top);
  BitBlt(dc, 0, 0, size.Width, size.Height, FFrameBuffer.DC(), 0, 0, SRCCOPY);
  ReleaseDC(window, dc);
}

void TVoCustomFormModifier::DrawFrame(HDC dc, TSize window) {
  const IThemePtr theme = CurrentTheme();
  const std::array<TRect, 3> lines = VoFrameLines(window);
  const TColor colors[3] = {theme->FrameColor(), theme->WindowColor(), theme->FrameColor()};
  for (int i = 0; i < 3; ++i) {
    RECT r = Win(lines[i]);
    FrameRect(dc, &r, SolidBrush(colors[i]));
  }
  if (!FShowCaption)
    return;
  RECT bar = Win(VoCaptionBar(window));
  FillRect(dc, &bar, SolidBrush(theme->CaptionColor()));
  FButtons.Place(window.Width);
  FMinimize.Draw(dc);
  FMaximize.Draw(dc);
  FClose.Draw(dc);
  const int saved = SaveDC(dc);
  SelectObject(dc, FontHandle(CaptionFont(*FForm)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorRef(theme->WindowColor()));
  DrawCaption(dc, window);
  DrawLangBox(dc, window);
  RestoreDC(dc, saved);
}

void TVoCustomFormModifier::DrawCaption(HDC dc, TSize window) {
  const std::vector<std::u16string> pieces = VoSplitCaption(FCaptionText);
  std::vector<int> widths;
  for (const std::u16string& piece : pieces)
    widths.push_back(TextExtent(dc, piece).Width);
  const TVoCaptionLayout layout = VoCaptionLayout(widths);
  const TRect area = VoCaptionTextArea(window);
  const UINT flags = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
  for (size_t i = 0; i < pieces.size(); ++i) {
    RECT r{layout.PieceX[i], area.Top, area.Right, area.Bottom};
    if (r.left < r.right)
      DrawTextW(dc, reinterpret_cast<const wchar_t*>(pieces[i].c_str()),
                static_cast<int>(pieces[i].size()), &r, flags);
  }
  // A triangle past the text area would lie on the caption buttons.
  const TColor arrow = CurrentTheme()->CaptionArrowColor();
  for (int x : layout.TriangleX) {
    if (x >= area.Right)
      break;
    for (const TVoLine& line : VoCaptionTriangle(x))
      DrawPolyline(dc, arrow, {line.From, line.To});
  }
}

void TVoCustomFormModifier::DrawLangBox(HDC dc, TSize window) {
  if (FLang.empty())
    return;
  const IThemePtr theme = CurrentTheme();
  const TVoLangBox box = VoLangBox(FButtons, window.Width, TextExtent(dc, FLang).Width);
  FLangRect = box.Rect;
  RECT fill = Win(box.Rect);
  FillRect(dc, &fill, SolidBrush(theme->CaptionColor()));
  FrameRect(dc, &fill, SolidBrush(theme->WindowColor()));
  for (TPoint corner : box.Corners)
    SetPixel(dc, corner.X, corner.Y, ColorRef(theme->CaptionColor()));
  RECT text = Win(box.TextRect);
  DrawTextW(dc, reinterpret_cast<const wchar_t*>(FLang.c_str()), static_cast<int>(FLang.size()),
            &text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}
