// A headless desktop for tests: a virtual clock, a virtual pointer and keyboard that
// a test moves, presses and releases at virtual times, scripted answers for message
// boxes and file dialogs, and a record of everything the program asked of it.
//
// Text is measured by a fixed rule, so positions in tests do not depend on fonts:
//   a character is ceil(0.6 x size) pixels wide, one more when bold; the characters
//   counted are those the caption shows (shownCaption: "&&" is one, a single "&" none);
//   a line is ceil(1.5 x size) pixels high (size in points);
//   a label auto-sized to n characters is n character widths wide and one line high.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/timer.h"

namespace kel {

class SimClock : public Clock {
 public:
  Millis now() const override { return now_; }
  void set(Millis t) { now_ = t; }

 private:
  Millis now_ = 0;
};

class SimDesktop : public Desktop {
 public:
  explicit SimDesktop(const Clock& clock) : clock_(clock) {}

  // --- Desktop ---------------------------------------------------------------------
  PointPx cursorPos() override { return pointer_; }
  void setCursorPos(int x, int y) override;
  std::uint16_t asyncKeyState(int vk) override;
  std::int16_t keyState(int vk) override;
  void keyEvent(int vk, bool up) override;
  std::vector<KeyPress> takeKeyPresses(KeyReader reader = KeyReader::Capture) override;
  void mouseEvent(int flags, int x, int y) override;
  bool activateKeyboardLayout(const std::string& id) override;
  void showForm(Form& f) override;
  void hideForm(Form& f) override;
  void unloadForm(Form& f) override;
  void makeTopmost(Form& f) override;
  void setColourKey(Form& f, Colour key) override;
  void bringToFront(Form& f) override;
  void raiseWindowOfProcess(long pid, const std::string& title) override {
    raisedProcesses.emplace_back(pid, title);
  }
  void setFocus(Form& f, Control& c) override;
  SizeTw screenSize() override;
  Bitmap captureScreen(const RectPx& r) override;
  void clipboardClear() override;
  void clipboardSetPicture(const Bitmap& b) override;
  int messageBox(const std::string& prompt, int buttons, const std::string& title) override;
  int choiceBox(const ChoiceRequest& request) override;
  std::optional<FileDialogChoice> fileDialog(const FileDialogRequest& request) override;
  SizeTw measureLabel(const Font& font, const std::string& caption) override;
  double labelHeight(const Font& font) override;
  std::optional<Picture> loadPicture(const std::string& path) override;

  // --- what a test does as the user --------------------------------------------------
  // Moves the pointer; the control under it gets a mouse-move event, as on a desktop.
  void userMovePointer(int x, int y);
  // A key goes down (a press for takeKeyPresses unless it is held already) or up.
  void userKeyDown(int vk);
  void userKeyUp(int vk);
  // A mouse button (vk::LButton, vk::RButton) at the pointer, with its events.
  void userButtonDown(int vk);
  void userButtonUp(int vk);
  void setScreenSizePx(int w, int h) { screenPx_ = {w, h}; }
  // What the window system does with a window at the user's request (twips). Moving it
  // by its title bar only moves it (its moved event runs); every change of size or state
  // runs its resize event.
  // Maximising fills the screen and restoring a maximised window gives back the place it
  // had; a minimised window keeps its place, and restoring it gives its state back.
  void userMoveForm(Form& f, double left, double top);
  void userResizeForm(Form& f, double width, double height);
  void userMinimizeForm(Form& f);
  void userMaximizeForm(Form& f);
  void userRestoreForm(Form& f);
  // The window's close box: its QueryUnload may keep it; else its unload step runs, then
  // the window is unloaded unless that step unloaded it already (as the real desktop does).
  void userCloseForm(Form& f);

  // --- the keyboard focus -------------------------------------------------------------
  // The control that setFocus or a click gave the focus last, while its window is shown
  // and the control visible and enabled; nullptr otherwise. A press of the left button on
  // a text box gives it the focus. A key going down reaches the focused text box: its
  // KeyDown runs, and the character the key types on a US keyboard (letters, digits, the
  // blank and the punctuation keys, with Shift) is added to its text; Backspace takes the
  // last character off.
  Control* focusedControl() const;
  // The active window: the one shown or brought to the front last that may take the focus,
  // or the one the user pressed a button on (nullptr after a press on the bare desktop).
  // The window that stops being the active one gets its LostFocus event; one hidden or
  // unloaded gets none.
  Form* activeForm() const { return active_; }

  // While a box or a file dialog is open (a test's answer runs inside it), what the user
  // presses answers the box: such a key or button is no press, sets no latch, types into
  // no text box and reads as up until it is released, and the program's windows get no
  // mouse event (the box is modal).
  bool boxOpen() const { return boxDepth_ > 0; }

  // The user's answers, in the order the boxes and dialogs come; when none is left, a box
  // gets the answer that changes nothing and a dialog is cancelled. A test may answer a
  // dialog or a box by what it was asked, and look at the program while it is open (the
  // scripted answers are then not taken).
  std::deque<int> messageBoxAnswers;
  std::deque<std::optional<FileDialogChoice>> fileDialogAnswers;
  std::function<std::optional<FileDialogChoice>(const FileDialogRequest&)> answerFileDialog;
  std::function<int(const std::string& prompt, int buttons, const std::string& title)>
      answerMessageBox;
  // A box of the program's own buttons, answered with a button's index; unscripted, its
  // escape button (as Escape, or a box nobody answers).
  std::deque<int> choiceBoxAnswers;
  std::function<int(const ChoiceRequest&)> answerChoiceBox;

  // --- what the program did ------------------------------------------------------------
  struct PointerMove {
    Millis at;
    int x, y;
  };
  struct KeyInjection {
    Millis at;
    int vk;
    bool up;
  };
  struct MouseInjection {
    Millis at;
    int flags, x, y;
  };
  struct MessageBoxCall {
    std::string prompt;
    int buttons;
    std::string title;
  };
  std::vector<PointerMove> pointerMoves;
  std::vector<KeyInjection> keyInjections;
  std::vector<MouseInjection> mouseInjections;
  std::vector<std::string> layoutCalls;
  std::vector<std::string> topmostCalls;
  std::vector<std::pair<std::string, Colour>> colourKeyCalls;
  std::vector<std::string> frontCalls;
  std::vector<std::pair<long, std::string>> raisedProcesses;
  std::vector<std::string> focusCalls;
  std::vector<MessageBoxCall> messageBoxCalls;
  std::vector<ChoiceRequest> choiceBoxCalls;
  std::vector<FileDialogRequest> fileDialogCalls;
  std::vector<std::string> pictureLoads;  // every path loadPicture was asked for
  std::optional<Bitmap> clipboardPicture;
  int clipboardClears = 0;
  // Every rectangle the program captured; with captureFails set, a capture gives nothing.
  std::vector<RectPx> captures;
  bool captureFails = false;

  const std::vector<Form*>& shownForms() const { return shown_; }

 private:
  void dispatchMouse(int kind, int button);
  // A move or a release while a control has captured the mouse; false when none has.
  bool dispatchCaptured(int kind, int button);
  void typeIntoFocus(int vk);
  Form* formAt(int x, int y, double& clientX, double& clientY) const;
  int shiftState() const;
  // Down as the program sees it: not a key that a box has.
  bool held(int vk) const;
  template <class F>
  auto inBox(F&& answer);
  void activate(Form* f);

  const Clock& clock_;
  PointPx pointer_{0, 0};
  std::array<bool, 256> down_{};
  std::array<bool, 256> latch_{};
  std::array<bool, 256> toggled_{};
  // Down since a box had them, until they go up.
  int boxDepth_ = 0;
  std::array<bool, 256> boxKeys_{};
  std::array<std::deque<KeyPress>, kKeyReaders> presses_;
  PointPx screenPx_{1280, 1024};
  std::vector<Form*> shown_;
  std::map<const Form*, bool> everShown_;
  struct FormPlace {
    double left, top, width, height;
    WindowState before;  // the state a minimised window returns to
  };
  std::map<const Form*, FormPlace> normalPlace_;
  Form* focusForm_ = nullptr;
  Control* focus_ = nullptr;
  // The control of a window that captures the mouse, from a press until the buttons are up.
  Form* captureForm_ = nullptr;
  Control* capture_ = nullptr;
  Form* active_ = nullptr;
};

// The headless host: a clock, the scheduler on it, and a desktop, with a timeline of
// user actions that run between timer ticks in time order.
class SimHost {
 public:
  SimHost() : scheduler(clock), desktop(clock) {}
  SimClock clock;
  Scheduler scheduler;
  SimDesktop desktop;

  Millis now() const { return clock.now(); }
  // Runs an action at a virtual time (now or later), before timers due at that time.
  void at(Millis t, std::function<void()> action);
  // Advances the clock by ms, firing timers and user actions in time order.
  void advance(Millis ms);

  // A key tap: down now, up `ms` later (shorter than a poll if a test wants).
  void tap(int vk, Millis ms = 12);

  // A loaded machine leaves the program waiting for `ms`: the user's actions in that time
  // still happen at their times (the desktop takes them), but no timer ticks; then every
  // timer that came due meanwhile ticks once, in due order, at the moment the program runs
  // again, as the real desktop's driver runs a late batch (one instant: the time it woke).
  // No burst of catch-up ticks follows: each counts on from that moment.
  void stall(Millis ms);

 private:
  struct Action {
    Millis t;
    std::uint64_t seq;
    std::function<void()> fn;
  };
  // The earliest action, in time and then in the order given (end() for none).
  std::vector<Action>::iterator nextAction();
  // Runs that action at its time (never earlier than now).
  void runAction(std::vector<Action>::iterator action);
  std::vector<Action> actions_;
  std::uint64_t seq_ = 0;
};

}  // namespace kel
