#pragma once

// A top-level window (Windows only) that holds the controls of a wizard or
// dialog. The form manages the focus, hands dialog keys and accelerator
// characters to its controls, and shows itself modelessly (Show) or modally
// (ShowModal, until ModalResult is set).
//
// Events:
// - OnCreate: Application().CreateForm fires it right after construction
//   (the window does not exist yet).
// - OnShow: each time the form is about to become visible; an exception in
//   it is shown by the error display and the form shows all the same.
// - OnCloseQuery, OnClose: Close asks, then tells (see Close).
// - OnDestroy: when the window is destroyed while the form is alive (Run
//   ends, DestroyHandle); never from the destructor, where the form's own
//   members are gone already.

#include "ui/WinControl_win.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// What a modal form answers: 0 while it runs; the values of the system's
// message box buttons.
using TModalResult = int;
enum : TModalResult {
  mrNone = 0,
  mrOk = IDOK,
  mrCancel = IDCANCEL,
  mrAbort = IDABORT,
  mrRetry = IDRETRY,
  mrIgnore = IDIGNORE,
  mrYes = IDYES,
  mrNo = IDNO,
};

using TCloseEvent = std::function<void(TComponent& sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TComponent& sender, bool& canClose)>;

class TForm : public TWinControl {
public:
  // Invisible at first; font Tahoma 8 points (height -11), ANSI character
  // set; border style bsSizeable.
  TForm();
  ~TForm() override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  // Takes effect when the window is made (or made anew).
  void SetBorderStyle(TFormBorderStyle style);

  std::u16string Caption() const { return Text(); }
  void SetCaption(const std::u16string& caption) { SetText(caption); }

  // The size of the inside of the window; the border (the system's, or one a
  // frame modifier draws) is added around it.
  int ClientWidth();
  int ClientHeight();
  void SetClientSize(int width, int height);
  TRect ClientRect() const override;

  // The smallest size the user can drag the window to (0: no limit).
  void SetMinSize(int width, int height);

  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);

  // Makes the window (if needed), fires OnShow and shows it, active.
  void Show();
  // Shows the form modally: every other window of the program is disabled
  // until ModalResult is set (by a handler, or mrCancel by Close or by the
  // application ending), then the form is hidden and the other windows come
  // back. Raises EInvalidOperation "Cannot make a visible window modal" for
  // a visible form.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }
  bool Modal() const { return FModal; }

  // OnCloseQuery may refuse; otherwise OnClose chooses an action (caHide by
  // default; caNone keeps the form as it is; caFree acts like caHide, since a
  // form's owner destroys it). A modal form then ends its loop with
  // mrCancel, the main form ends the application (after the running handler
  // has returned), any other form hides. The window's close button and
  // Alt+F4 come here too.
  void Close();

  // The control that has, or last had, the focus.
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  // Moves the focus to the next (or previous) control with a tab stop that
  // can take it, wrapping around. Returns false when there is none.
  bool SelectNext(TWinControl* current, bool forward, bool checkTabStop);

  // Tab and Shift+Tab move through the tab stops, arrows to the next
  // control; everything else goes to the controls (TControl::DialogKey).
  bool DialogKey(WORD key, TShiftState shift) override;
  // Hands the character to the controls (TControl::DialogChar).
  bool DialogChar(char16_t ch) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Fires OnCreate, showing an exception instead of passing it on.
  void DoCreate();

protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void HandleDestroying() override;
  void WndProc(TMessage& message) override;
  void VisibleChanged() override;

private:
  friend class TWinControl;

  void FocusArrived(TWinControl* control);
  void CloseModal();
  template <class F> bool Broadcast(TWinControl& parent, F call);
  void ApplyClientSize();

  TFormBorderStyle FBorderStyle = bsSizeable;
  TModalResult FModalResult = mrNone;
  bool FModal = false;
  bool FDestroying = false;
  TWinControl* FActiveControl = nullptr;
  TSize FPendingClientSize{-1, -1};
  TSize FMinSize;
};
