#pragma once

// The application (Windows only): the message loop, the main form, the
// title, and the general error display.
//
// Re-entrancy: ProcessMessages runs inside long handlers (the install and
// update procedures pump messages while they work). Nothing that arrives
// meanwhile destroys an object: closing a form hides it or ends its modal
// loop, and closing the main form only asks the loop to end (Terminate), so
// the program ends after the running handler has returned to the loop.

#include "ui/Form_win.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TTimer;

class TApplication {
public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Makes a form owned by the application and fires its OnCreate (an
  // exception there is shown, not passed on). The first form made this way
  // becomes the main form. Such forms are destroyed when Run ends, last made
  // first, each after its window (OnDestroy fires while the form is whole).
  template <class F, class... Args> F& CreateForm(Args&&... args) {
    auto form = std::make_unique<F>(std::forward<Args>(args)...);
    F& ref = *form;
    Adopt(std::move(form));
    return ref;
  }

  TForm* MainForm() const { return FMainForm; }
  void SetMainForm(TForm* form) { FMainForm = form; }

  // Shows the main form and handles messages until Terminate, then destroys
  // the main form's window and the forms made by CreateForm.
  void Run();
  // Handles the messages waiting now and returns (inside long handlers).
  void ProcessMessages();
  // Handles one message, waiting for one if none is there.
  void HandleMessage();
  // Asks the message loop to end; modal loops end too.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Clears Terminated, so that another loop can run (tests run many in one
  // process).
  void Restart();
  // Destroys the forms made by CreateForm, as Run does when it ends: for a
  // program that ends without running the loop, so that no form outlives
  // the services it is registered with.
  void DestroyForms();

  // The caption of the program's message boxes (8-bit); the executable's
  // base name until set.
  const std::string& Title() const { return FTitle; }
  void SetTitle(std::string title) { FTitle = std::move(title); }

  // The general error display, for every exception caught at the edge of a
  // window procedure, timer or callback: a message box with the error icon,
  // the title, and the exception's message passed through Translate. Never
  // raises.
  void HandleException(std::exception_ptr error) noexcept;
  // Replaces the message box when set (tests watch the display with it).
  std::function<void(const std::string& message)> OnException;

  // The message of an exception: Exception's message, what() of others.
  static std::string ExceptionMessage(std::exception_ptr error);

  // Timers tick through the application's hidden window; a timer whose
  // handler is still running skips the ticks that arrive meanwhile.
  void StartTimer(TTimer* timer, unsigned intervalMs);
  void StopTimer(TTimer* timer);

private:
  class TMessageWindow;

  void Adopt(std::unique_ptr<TForm> form);
  bool ProcessMessage();
  bool IsDialogMessage(MSG& msg);
  TMessageWindow& Window();

  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  std::string FTitle;
  std::vector<std::unique_ptr<TForm>> FForms;
  std::unique_ptr<TMessageWindow> FWindow;
};

// The single application of the process, created on first use.
TApplication& Application();

// The exception boundary for every edge where the system calls the program
// (window procedures, timers, C callbacks): runs `body`, hands whatever it
// raises to the general error display, and then answers `fallback`. This
// compiler's exceptions cannot unwind through system frames, so without
// this an exception would end the program; noexcept is no substitute.
template <class R, class F> R CatchAll(R fallback, F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    Application().HandleException(std::current_exception());
    return fallback;
  }
}
