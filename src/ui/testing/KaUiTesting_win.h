#pragma once

// Helpers for the tests of windows (Windows only): rendering controls into
// memory bitmaps, handling messages until something happened, clicking and
// typing as a person would, and watching the error display.

#include "ui/Application_win.h"
#include "ui/Bitmap_win.h"
#include "ui/WinControl_win.h"

#include <atomic>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

// The control as it appears on the screen, with its graphic children, in a
// bitmap of its size (windowed children are not included). The background
// starts out in `background`, so what a control leaves unpainted shows.
TBitmap RenderControl(TWinControl& control, TColor background = 0xFF00FF);

// The control's whole window (non-client area included) as it is on the
// screen after it has painted anew: for controls that the system paints,
// which RenderControl cannot draw. The window must be shown and uncovered.
TBitmap CaptureWindow(TWinControl& control);

// Handles messages until `done` holds; gives up after about `limitMs` (a
// bound for a broken test, not a measurement). Returns done().
bool PumpUntil(const std::function<bool()>& done, unsigned limitMs = 5000);

// Handles the messages that are waiting, and what they post in turn.
void PumpMessages();

// A left click at (x, y) of the control (client coordinates), delivered as
// the system delivers one (button down, button up) through the message loop
// to the window under that point.
void ClickAt(TControl& control, int x, int y);
void Click(TControl& control);

// The real pointer, moved and pressed as a person does it: the system
// hit-tests and sends what it sends for real input (capture, enter and
// leave, the non-client messages of a frame included). Only for test
// programs that have the display to themselves (RUN_SERIAL), since the
// pointer goes to whatever window is on top there. Each pumps the messages
// that follow.
void MovePointer(TControl& control, int x, int y); // client coordinates
void MovePointerTo(TPoint screen);
void PointerButton(TMouseButton button, bool down);

// A key pressed and released on the focused window, through the message loop
// (as typed: the character messages follow).
void PressKey(WORD key);
// Characters typed on the focused window, each as its key pressed and
// released (PressKey); only characters typed without Shift on a US keyboard.
void TypeKeys(std::u16string_view text);
// A character typed with Alt held.
void PressAltChar(char16_t ch);

// Makes `code` the current language, registering it first with the texts
// (key, value) when the test program has not yet: tests of translated
// controls switch between languages of their own.
void UseLanguage(std::string_view code,
                 std::initializer_list<std::pair<const char16_t*, const char16_t*>> texts);

// Replaces the general error display while it lives and collects the
// messages it would have shown.
class TErrorDisplayWatch {
public:
  TErrorDisplayWatch();
  ~TErrorDisplayWatch();
  const std::vector<std::string>& Messages() const { return FMessages; }

private:
  std::vector<std::string> FMessages;
  std::function<void(const std::string&)> FPrevious;
};

// Waits on a thread of its own for a message box with the given title,
// reads its text and presses its OK button.
class TMessageBoxCloser {
public:
  explicit TMessageBoxCloser(std::u16string title, unsigned limitMs = 10000);
  ~TMessageBoxCloser();
  bool Seen() const { return FSeen; }
  std::u16string Text() const;

private:
  std::u16string FTitle;
  std::atomic<bool> FSeen{false};
  std::atomic<bool> FStop{false};
  mutable std::mutex FLock;
  std::u16string FText;
  std::thread FThread;
};

// A form placed at the top-left of the screen, borderless, shown, for
// tests: it is the application's main form while it lives unless there is
// one. It has no task bar button: Wine waits up to two seconds for a window
// manager whenever such a window is hidden, and the tests run without one.
class TTestForm : public TForm {
public:
  explicit TTestForm(int width = 300, int height = 200);
  ~TTestForm() override;

protected:
  void CreateParams(TCreateParams& params) override;
};
