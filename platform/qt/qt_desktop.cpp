#include "platform/qt/qt_desktop.h"

#include <X11/extensions/XI2.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QBackingStore>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QStyleFactory>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/qt/fonts.h"
#include "platform/qt/pictures.h"
#include "platform/units.h"

namespace kel::qt {

void prepareQtEnvironment() {
  // Every service of this desktop is an X11 one, under Wayland too (through XWayland).
  qputenv("QT_QPA_PLATFORM", "xcb");
  // Positions are twips / 15 on the screen: no scaling of any kind.
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  qputenv("QT_SCALE_FACTOR", "1");
  qunsetenv("QT_SCREEN_SCALE_FACTORS");
  qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
  qputenv("QT_FONT_DPI", "96");
  // Qt's own event loop wakes up for the timers with less work than the GLib one; the
  // program needs nothing that GLib brings.
  qputenv("QT_NO_GLIB", "1");
}

void configureApplication() {
  installFontSubstitutions();
  // One look on every desktop, whatever its theme.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(style);
  QApplication::setQuitOnLastWindowClosed(false);
}

namespace {

template <class H>
void callHandler(const H& h) {
  if (!h) return;
  H copy = h;
  copy();
}

// "Text (*.txt)|*.txt|All (*.*)|*.*" as Qt's name filters: "Text (*.txt)", "All (*.*)".
QStringList qtFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    QString name = parts[i];
    if (!name.contains(QLatin1Char('(')))
      name += QStringLiteral(" (") + patterns + QLatin1Char(')');
    else if (!name.contains(patterns))
      name = name.section(QLatin1Char('('), 0, 0).trimmed() + QStringLiteral(" (") + patterns +
             QLatin1Char(')');
    out << name;
  }
  return out;
}

// The pointer over, into or out of one of the program's windows, as Qt's connection hears
// of it: the position asked for next is read from the server. (A warp, such as xdotool's
// mousemove, sends these but no raw motion.)
class PointerWatch : public QAbstractNativeEventFilter {
 public:
  explicit PointerWatch(X11Input& input) : input_(input) {}
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* ev = static_cast<const xcb_generic_event_t*>(message);
    switch (ev->response_type & 0x7F) {
      case XCB_MOTION_NOTIFY:
      case XCB_ENTER_NOTIFY:
      case XCB_LEAVE_NOTIFY:
        input_.pointerMayHaveMoved();
        break;
      case XCB_GE_GENERIC: {
        const auto* ge = static_cast<const xcb_ge_generic_event_t*>(message);
        if (ge->extension == input_.xinputOpcode() &&
            (ge->event_type == XI_Motion || ge->event_type == XI_Enter ||
             ge->event_type == XI_Leave))
          input_.pointerMayHaveMoved();
        break;
      }
      default:
        break;
    }
    return false;
  }

 private:
  X11Input& input_;
};

}  // namespace

QtDesktop::QtDesktop(std::unique_ptr<X11Input> input) : input_(std::move(input)), views_(*this) {
  pointerWatch_ = std::make_unique<PointerWatch>(*input_);
  QCoreApplication::instance()->installNativeEventFilter(pointerWatch_.get());
  notifier_ = std::make_unique<QSocketNotifier>(input_->connectionFd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { input_->readEvents(); });
  input_->connectionLost = [this] {
    loseDisplay();
    callHandler(whenDisplayLost);
  };
  input_->windowDestroyed = [this](unsigned long window) {
    // Reported from inside a query: acted on once the running code is done.
    QTimer::singleShot(0, &views_, [this, window] { windowDestroyed(window); });
  };
  views_.closeRequested = [this](Form& f) { requestClose(f, true); };
  views_.windowCreated = [this](FormView& v) { input_->watchWindow(v.widget->winId()); };
  views_.windowOrigin = [this](QWidget* w, QPoint& origin) {
    int x = 0, y = 0;
    if (!w->internalWinId() || !input_->windowOrigin(w->internalWinId(), x, y)) return false;
    origin = QPoint(x, y);
    return true;
  };
  views_.frameExtents = [this](QWidget* w, QMargins& frame) {
    long e[4] = {0, 0, 0, 0};
    if (!w->internalWinId() || !input_->frameExtents(w->internalWinId(), e)) return false;
    frame = QMargins(static_cast<int>(e[0]), static_cast<int>(e[2]), static_cast<int>(e[1]),
                     static_cast<int>(e[3]));
    return true;
  };
  // Events that came with the connection's first replies.
  input_->readEvents();
}

QtDesktop::~QtDesktop() {
  driver_.reset();
  notifier_.reset();
  if (QCoreApplication* app = QCoreApplication::instance())
    app->removeNativeEventFilter(pointerWatch_.get());
}

void QtDesktop::drive(Scheduler& scheduler, QtClock& clock) {
  driver_ = std::make_unique<SchedulerDriver>(scheduler, clock, *this);
}

void QtDesktop::loseDisplay() {
  if (lost_) return;
  lost_ = true;
  // A dead socket is readable for good: listening to it would only spin.
  if (notifier_) notifier_->setEnabled(false);
}

// --- the gate ---------------------------------------------------------------------------

void QtDesktop::enterModel() {
  ++depth_;
  // One snapshot of the keyboard and the pointer answers the whole batch or event.
  input_->invalidate();
}

void QtDesktop::leaveModel() {
  --depth_;
  if (lost_) return;
  views_.syncAll();
  if (driver_) driver_->rearm();
}

void QtDesktop::requestClose(Form& f, bool ask) {
  Form* form = &f;
  // The close box asks the model first: its answer may keep the window.
  if (ask && form->QueryUnload) {
    bool go = false;
    run([&] {
      auto query = form->QueryUnload;
      go = query();
    });
    if (!go) return;
  }
  auto close = [this, form] {
    callHandler(form->Unload);
    if (form->Loaded) unloadForm(*form);
  };
  // Closing the main window ends the run: never under an open box.
  if (form == main_)
    endRun(close);
  else
    run(close);
}

void QtDesktop::windowDestroyed(unsigned long window) {
  // A window of ours destroyed from outside (xdotool windowclose, a crashed window
  // manager) is gone for good: the form is closed as by its close button, but asks nothing,
  // since there is no window left to ask over.
  if (!main_) return;
  FormView* v = views_.existingView(*main_);
  if (v && v->widget && v->widget->internalWinId() == window) requestClose(*main_, false);
}

void QtDesktop::endRun(std::function<void()> close) {
  if (boxes_.empty() && !endPending_) {
    run(close);
    return;
  }
  // A second request while the first waits is the same request.
  if (!endPending_) endPending_ = std::move(close);
  ending_ = true;
  for (const QPointer<QDialog>& box : boxes_)
    if (box) box->reject();
}

int QtDesktop::runBox(QDialog& box) {
  input_->openBox();
  boxes_.emplace_back(&box);
  // The box may go with its parent inside its own loop; exec then says Rejected.
  const int result = box.exec();
  boxes_.pop_back();
  input_->closeBox();
  if (boxes_.empty() && endPending_)
    QTimer::singleShot(0, qApp, [this] {
      // The close itself may ask what it needs to (its own boxes show).
      ending_ = false;
      std::function<void()> close = std::exchange(endPending_, nullptr);
      if (close) run(close);
    });
  return result;
}

// --- pointer, keys, buttons -------------------------------------------------------------

// Without a server no key is down, nothing was pressed and the pointer is nowhere.
PointPx QtDesktop::cursorPos() {
  PointPx p;
  if (!lost_) input_->cursorPos(p.x, p.y);
  return p;
}

void QtDesktop::setCursorPos(int x, int y) {
  if (!lost_) input_->setCursorPos(x, y);
}

bool QtDesktop::setCursorPosIfAt(PointPx expected, int x, int y) {
  return !lost_ && input_->setCursorPosIfAt(expected.x, expected.y, x, y);
}

std::uint16_t QtDesktop::asyncKeyState(int vk) { return lost_ ? 0 : input_->asyncKeyState(vk); }

std::int16_t QtDesktop::keyState(int vk) { return lost_ ? 0 : input_->keyState(vk); }

void QtDesktop::keyEvent(int vk, bool up) {
  if (!lost_) input_->keyEvent(vk, up);
}

std::vector<KeyPress> QtDesktop::takeKeyPresses(KeyReader reader) {
  if (lost_) return {};
  return input_->takeKeyPresses(reader);
}

// The classic mouse event takes its position only with a move flag, which the program
// never sends: the buttons act where the pointer is.
void QtDesktop::mouseEvent(int flags, int, int) {
  if (!lost_) input_->mouseEvent(flags);
}

// The program reads keys by their physical place (vk_keycodes.h), whatever layout group
// the X server has active, so there is nothing to switch: changing the user's layout
// behind their back would only change what other programs receive.
bool QtDesktop::activateKeyboardLayout(const std::string&) { return true; }

// --- windows ----------------------------------------------------------------------------

void QtDesktop::showForm(Form& f) {
  f.Loaded = true;
  f.Visible = true;
  if (lost_) return;
  FormView& v = views_.formView(f);
  // The first show of a window runs its resize event.
  if (!v.everShown) {
    v.everShown = true;
    callHandler(f.Resize);
  }
}

void QtDesktop::hideForm(Form& f) { f.Visible = false; }

void QtDesktop::unloadForm(Form& f) {
  f.Visible = false;
  f.Loaded = false;
  if (!lost_) views_.dropForm(f);
  if (&f == main_) QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
}

void QtDesktop::makeTopmost(Form& f) {
  if (lost_) return;
  FormView& v = views_.formView(f);
  QWidget* w = v.widget.data();
  const bool created = w->testAttribute(Qt::WA_WState_Created) && w->internalWinId();
  if (!v.topmost) {
    v.topmost = true;
    if (created)
      input_->setAbove(w->internalWinId());
    else
      w->setWindowFlag(Qt::WindowStaysOnTopHint, true);  // set before the window maps
  } else if (created && w->isVisible()) {
    // Asked again: above the other topmost windows too.
    w->raise();
  }
}

void QtDesktop::setColourKey(Form& f, Colour key) {
  if (!lost_) views_.setColourKey(views_.formView(f), key);
}

void QtDesktop::bringToFront(Form& f) {
  if (lost_) return;
  // The form may have been shown in this very event: its window must be up to be raised
  // (a limits dialog is raised and activated as it opens).
  if (f.Visible) views_.syncAll();
  FormView* v = views_.existingView(f);
  if (!v || !v->widget || !f.Visible) return;
  v->widget->raise();
  v->widget->activateWindow();
  // Its owned windows stay above it, with a window manager or without one.
  for (FormView* owned : views_.forms())
    if (owned->form && owned->form->Owner == &f && owned->form->Loaded && owned->form->Visible &&
        owned->widget)
      owned->widget->raise();
}

void QtDesktop::raiseWindowOfProcess(long pid, const std::string& title) {
  if (!lost_) input_->raiseWindowOfProcess(pid, title);
}

void QtDesktop::setFocus(Form& f, Control& c) {
  if (lost_) return;
  views_.syncAll();  // the control may have been shown in this very tick
  auto* cv = static_cast<ControlView*>(c.view.view.get());
  if (cv && cv->widget && cv->showing() && cv->widget->isVisible() && cv->widget->isEnabled()) {
    cv->widget->setFocus(Qt::OtherFocusReason);
    return;
  }
  // A control that cannot take the focus still takes it away from the others.
  if (FormView* v = views_.existingView(f); v && v->widget)
    if (QWidget* focused = v->widget->focusWidget()) focused->clearFocus();
}

SizeTw QtDesktop::screenSize() {
  const QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return {};
  const QRect g = s->geometry();
  return {g.width() * kTwipsPerPixel, g.height() * kTwipsPerPixel};
}

// --- capture and clipboard --------------------------------------------------------------

Bitmap QtDesktop::captureScreen(const RectPx& r) {
  Bitmap b;
  const int width = std::clamp(r.width, 0, 4096);
  const int height = std::clamp(r.height, 0, 4096);
  QScreen* s = QGuiApplication::primaryScreen();
  if (lost_ || !s || width == 0 || height == 0) return b;
  // What the model shows now must be on the screen before it is copied: what changed is
  // painted, and the windows' own pixels go back where the rectangle lies, since an outline
  // cut away just now leaves on the screen what stood under it before. Repainting whole
  // windows would cost as much as their symbols, whatever changed.
  views_.syncAll();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
  const QRect area(r.left, r.top, width, height);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible() || !w->windowHandle() || !w->backingStore()) continue;
    const QRect mine = area.intersected(w->geometry()).translated(-w->geometry().topLeft());
    if (!mine.isEmpty()) w->backingStore()->flush(QRegion(mine), w->windowHandle());
  }
  // The server has drawn what was flushed once it answers a request sent after it. A sync
  // of the application would also deliver the events waiting meanwhile, and run the model
  // inside its own capture: the pointer the text placer has just moved reaches the page,
  // whose move shows the caret again after the capture hid it.
  if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
    if (xcb_connection_t* c = x11->connection())
      std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  }
  const QImage img = s->grabWindow(0, r.left, r.top, width, height)
                         .toImage()
                         .convertToFormat(QImage::Format_RGB32);
  // A grab that failed gives nothing, not a black picture of the size asked for.
  if (img.isNull() || img.width() <= 0 || img.height() <= 0) return b;
  b.width = width;
  b.height = height;
  b.pixels.assign(static_cast<size_t>(b.width) * static_cast<size_t>(b.height), 0);
  const int w = std::min(b.width, img.width());
  const int h = std::min(b.height, img.height());
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x)
      b.pixels[static_cast<size_t>(y) * static_cast<size_t>(b.width) + static_cast<size_t>(x)] =
          line[x] & 0xFFFFFFu;
  }
  return b;
}

void QtDesktop::clipboardClear() {
  if (!lost_) QGuiApplication::clipboard()->clear();
}

void QtDesktop::clipboardSetPicture(const Bitmap& b) {
  if (lost_ || b.width <= 0 || b.height <= 0 ||
      b.pixels.size() != static_cast<size_t>(b.width) * static_cast<size_t>(b.height))
    return;
  QImage img(b.width, b.height, QImage::Format_RGB32);
  for (int y = 0; y < b.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < b.width; ++x)
      line[x] =
          0xFF000000u |
          b.pixels[static_cast<size_t>(y) * static_cast<size_t>(b.width) + static_cast<size_t>(x)];
  }
  QGuiApplication::clipboard()->setImage(img);
}

// --- dialogs ----------------------------------------------------------------------------

QWidget* QtDesktop::dialogParent() {
  if (!main_) return nullptr;
  FormView* v = views_.existingView(*main_);
  // A box for a minimised window stands on its own: a window manager may keep the
  // dialogs of a minimised window out of sight with it.
  if (!v || !v->widget || !v->widget->isVisible() || v->widget->isMinimized()) return nullptr;
  return v->widget.data();
}

namespace {

void prepareBox(QMessageBox& box, const std::string& prompt, int icon, const std::string& title) {
  box.setWindowTitle(QString::fromStdString(title.empty() ? std::string("Kelvarin") : title));
  // A prompt holds file names and paths: shown as they are, never read as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(QString::fromStdString(prompt));
  switch (icon) {
    case msgbox::Critical:
      box.setIcon(QMessageBox::Critical);
      break;
    case msgbox::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case msgbox::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case msgbox::Information:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  // The program's windows stay on top of others; so must the box that speaks for them.
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

}  // namespace

int QtDesktop::messageBox(const std::string& prompt, int buttons, const std::string& title) {
  const int set = buttons & msgbox::kButtons;
  if (lost_ || ending_) {
    // Nobody can answer: the answer that changes nothing.
    if (set == msgbox::YesNo) return msgbox::No;
    if (set == msgbox::OkCancel || set == msgbox::YesNoCancel) return msgbox::Cancel;
    return msgbox::Ok;
  }
  views_.syncAll();  // the window behind the box shows what the model holds
  // On the heap, watched: a box owned by a window that goes inside the box's loop goes with
  // it, and is not freed a second time.
  QPointer<QMessageBox> box = new QMessageBox(dialogParent());
  prepareBox(*box, prompt, buttons & msgbox::kIcon, title);
  QMessageBox::StandardButton yes = QMessageBox::Ok, no = QMessageBox::NoButton,
                              cancel = QMessageBox::NoButton;
  int answerYes = msgbox::Ok, answerNo = msgbox::Ok;
  if (set == msgbox::YesNo || set == msgbox::YesNoCancel) {
    yes = QMessageBox::Yes;
    no = QMessageBox::No;
    answerYes = msgbox::Yes;
    answerNo = msgbox::No;
    if (set == msgbox::YesNoCancel) cancel = QMessageBox::Cancel;
  } else if (set == msgbox::OkCancel) {
    no = QMessageBox::Cancel;
    answerNo = msgbox::Cancel;
  }
  QMessageBox::StandardButtons shownButtons = yes;
  if (no != QMessageBox::NoButton) shownButtons |= no;
  if (cancel != QMessageBox::NoButton) shownButtons |= cancel;
  box->setStandardButtons(shownButtons);
  box->setDefaultButton(yes);
  box->setEscapeButton(cancel != QMessageBox::NoButton ? cancel
                       : no == QMessageBox::NoButton   ? yes
                                                       : no);
  const int result = runBox(*box);
  if (box) delete box.data();
  // Dismissed to end the run: the answer that changes nothing.
  if (ending_ || lost_) return cancel != QMessageBox::NoButton ? msgbox::Cancel : answerNo;
  if (result == yes) return answerYes;
  if (cancel != QMessageBox::NoButton && result != no) return msgbox::Cancel;
  return answerNo;
}

namespace {

// The name typed into the dialog, without the blanks around it: Qt reads "  /x/a.txt" as a
// name in the folder shown and keeps the blanks of "  a.txt" in the file's name, and the
// user meant neither.
class TrimmingFileDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

 protected:
  void accept() override {
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      const QString typed = edit->text();
      const QString trimmed = typed.trimmed();
      if (trimmed != typed) edit->setText(trimmed);
    }
    QFileDialog::accept();
  }
};

}  // namespace

int QtDesktop::choiceBox(const ChoiceRequest& request) {
  const int count = static_cast<int>(request.buttons.size());
  const int escape = request.escapeButton;
  // Nobody can answer: the answer the box gives to Escape.
  if (lost_ || ending_ || count == 0) return escape;
  views_.syncAll();
  QPointer<QMessageBox> box = new QMessageBox(dialogParent());
  prepareBox(*box, request.prompt, request.icon & msgbox::kIcon, request.title);
  std::vector<QAbstractButton*> shown;
  for (const std::string& caption : request.buttons)
    // One role for all: they stand in the order given, whatever the style's button order.
    shown.push_back(box->addButton(QString::fromStdString(caption), QMessageBox::ActionRole));
  if (request.defaultButton >= 0 && request.defaultButton < count)
    box->setDefaultButton(
        qobject_cast<QPushButton*>(shown[static_cast<size_t>(request.defaultButton)]));
  // Escape and the window's close button press it.
  if (escape >= 0 && escape < count) box->setEscapeButton(shown[static_cast<size_t>(escape)]);
  runBox(*box);
  int answer = escape;
  if (box && !ending_ && !lost_) {
    for (int i = 0; i < count; ++i)
      if (box->clickedButton() == shown[static_cast<size_t>(i)]) answer = i;
  }
  if (box) delete box.data();
  return answer;
}

std::optional<FileDialogChoice> QtDesktop::fileDialog(const FileDialogRequest& request) {
  if (lost_ || ending_) return std::nullopt;
  views_.syncAll();
  const bool save = request.kind == FileDialogKind::Save;
  const QString folder =
      request.folder.empty() ? QDir::homePath() : QString::fromStdString(request.folder);
  // Qt's own dialog: no portal or desktop service is needed for it. On the heap, watched,
  // as a message box is.
  QPointer<QFileDialog> owned =
      new TrimmingFileDialog(dialogParent(), QString::fromStdString(request.title), folder);
  struct Free {
    QPointer<QFileDialog>& d;
    ~Free() {
      if (d) delete d.data();
    }
  } freeIt{owned};
  QFileDialog& dialog = *owned;
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // An Open dialog that does not insist on an existing file takes the name as typed.
  dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  const QStringList filters = qtFilters(request.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const qsizetype at = std::clamp<qsizetype>(request.filterIndex - 1, 0, filters.size() - 1);
    dialog.selectNameFilter(filters[at]);
  }
  if (!request.defaultExt.empty())
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
  if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
  if (runBox(dialog) != QDialog::Accepted || !owned || ending_ || lost_) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  FileDialogChoice choice;
  choice.path = chosen.front().toStdString();
  const qsizetype at = filters.indexOf(dialog.selectedNameFilter());
  choice.filterIndex = at < 0 ? request.filterIndex : static_cast<int>(at) + 1;
  return choice;
}

// --- text and pictures ------------------------------------------------------------------

SizeTw QtDesktop::measureLabel(const Font& font, const std::string& caption) {
  const QFontMetrics fm(views_.font(font));
  return {fm.horizontalAdvance(QString::fromStdString(shownCaption(caption))) * kTwipsPerPixel,
          fm.height() * kTwipsPerPixel};
}

double QtDesktop::labelHeight(const Font& font) {
  return QFontMetrics(views_.font(font)).height() * kTwipsPerPixel;
}

std::optional<Picture> QtDesktop::loadPicture(const std::string& path) {
  // Decoded, not only its header read: a file cut short is refused too.
  const QImage img = readPicture(path);
  if (img.isNull()) return std::nullopt;
  return Picture{path, img.width(), img.height()};
}

}  // namespace kel::qt
