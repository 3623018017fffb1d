// The real desktop: Qt 6 Widgets for the windows, Xlib/XInput2/XTest for the keyboard,
// the buttons and the pointer (see x11_input.h and docs/desktop-qt.md).
#pragma once

#include <QAbstractNativeEventFilter>
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <vector>

#include "platform/desktop.h"
#include "platform/qt/model_gate.h"
#include "platform/qt/scheduler_driver.h"
#include "platform/qt/views.h"
#include "platform/qt/x11_input.h"

namespace kel::qt {

// What has to be said to Qt before the QApplication exists: the X11 platform, and one
// pixel is one device pixel.
void prepareQtEnvironment();
// What has to be said once it exists: the fonts the model names, the style.
void configureApplication();

class QtDesktop : public Desktop, public ModelGate {
 public:
  explicit QtDesktop(std::unique_ptr<X11Input> input);
  ~QtDesktop() override;

  // Drives the scheduler from real time.
  void drive(Scheduler& scheduler, QtClock& clock);
  // Unloading this form ends the application.
  void setMainForm(Form& f) { main_ = &f; }

  // The X server is gone (the connection broke, or the process is ending under the
  // event loop): from now on the desktop is the model alone. Nothing is drawn or asked
  // of the server, dialogs give the answer that changes nothing, and the program can
  // still run its unload step and save its options. Said once, holds for good.
  void loseDisplay();
  bool displayLost() const { return lost_; }
  // Called once when our own connection found the server gone.
  std::function<void()> whenDisplayLost;

  // A request to end the run (a signal, the main window closed or destroyed): `close` runs
  // in the gate at once when no box or file dialog of this desktop is open. Otherwise every
  // open one is dismissed with the answer that changes nothing, any other the interrupted
  // code opens gets that answer at once, and `close` runs once the outermost has returned
  // and the event that opened it is over (where boxes show again): a window must not be
  // unloaded, and its widget deleted, under a box's own event loop.
  void endRun(std::function<void()> close);
  bool boxOpen() const { return !boxes_.empty(); }

  X11Input& input() { return *input_; }
  ViewSync& views() { return views_; }
  SchedulerDriver* driver() { return driver_.get(); }

  // --- ModelGate ---------------------------------------------------------------------
  void enterModel() override;
  void leaveModel() override;
  int depth() const override { return depth_; }

  // --- Desktop -----------------------------------------------------------------------
  PointPx cursorPos() override;
  void setCursorPos(int x, int y) override;
  bool setCursorPosIfAt(PointPx expected, int x, int y) override;
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
  void raiseWindowOfProcess(long pid, const std::string& title) override;
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

 private:
  // The form closes; by its close box (ask) its QueryUnload may keep it.
  void requestClose(Form& f, bool ask);
  // Runs a box's or a file dialog's own event loop; its result.
  int runBox(QDialog& box);
  void windowDestroyed(unsigned long window);
  QWidget* dialogParent();

  std::unique_ptr<X11Input> input_;
  ViewSync views_;
  std::unique_ptr<SchedulerDriver> driver_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::unique_ptr<QAbstractNativeEventFilter> pointerWatch_;
  Form* main_ = nullptr;
  int depth_ = 0;
  bool lost_ = false;
  // The boxes and file dialogs open now, the outermost first.
  std::vector<QPointer<QDialog>> boxes_;
  bool ending_ = false;
  std::function<void()> endPending_;
};

}  // namespace kel::qt
