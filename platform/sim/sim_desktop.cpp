#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <cmath>

#include "platform/files.h"
#include "platform/gif.h"
#include "platform/units.h"

namespace kel {

namespace {

// The generic code a side key also answers for (Shift, Ctrl, Alt), or 0.
int genericOf(int vk) {
  switch (vk) {
    case vk::LShift:
    case vk::RShift:
      return vk::Shift;
    case vk::LControl:
    case vk::RControl:
      return vk::Control;
    case vk::LMenu:
    case vk::RMenu:
      return vk::Menu;
    default:
      return 0;
  }
}

bool valid(int vk) { return vk >= 0 && vk < 256; }

size_t utf8Length(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

void SimDesktop::setCursorPos(int x, int y) {
  pointerMoves.push_back({clock_.now(), x, y});
  pointer_ = {x, y};
  dispatchMouse(0, 0);
}

bool SimDesktop::held(int vk) const {
  return valid(vk) && down_[static_cast<size_t>(vk)] && !boxKeys_[static_cast<size_t>(vk)];
}

std::uint16_t SimDesktop::asyncKeyState(int vk) {
  if (!valid(vk)) return 0;
  bool isDown = held(vk);
  if (vk == vk::Shift) isDown = isDown || held(vk::LShift) || held(vk::RShift);
  if (vk == vk::Control) isDown = isDown || held(vk::LControl) || held(vk::RControl);
  if (vk == vk::Menu) isDown = isDown || held(vk::LMenu) || held(vk::RMenu);
  std::uint16_t r = isDown ? 0x8000 : 0;
  if (latch_[static_cast<size_t>(vk)]) r |= 1;
  latch_[static_cast<size_t>(vk)] = false;
  return r;
}

std::int16_t SimDesktop::keyState(int vk) {
  if (!valid(vk)) return 0;
  bool isDown = held(vk);
  if (int g = vk; g == vk::Shift || g == vk::Control || g == vk::Menu) {
    for (int side = 160; side <= 165; ++side)
      if (genericOf(side) == vk && held(side)) isDown = true;
  }
  std::int16_t r = isDown ? -128 : 0;
  if (toggled_[static_cast<size_t>(vk)]) r = static_cast<std::int16_t>(r | 1);
  return r;
}

void SimDesktop::keyEvent(int vk, bool up) {
  keyInjections.push_back({clock_.now(), vk, up});
  // An injection changes what is held, but never counts as a press of the user's.
  if (valid(vk)) down_[static_cast<size_t>(vk)] = !up;
}

std::vector<KeyPress> SimDesktop::takeKeyPresses(KeyReader reader) {
  std::deque<KeyPress>& list = presses_[static_cast<size_t>(reader)];
  std::vector<KeyPress> out(list.begin(), list.end());
  list.clear();
  return out;
}

void SimDesktop::mouseEvent(int flags, int x, int y) {
  mouseInjections.push_back({clock_.now(), flags, x, y});
  if (flags & mouseflag::LeftDown) down_[vk::LButton] = true;
  if (flags & mouseflag::LeftUp) down_[vk::LButton] = false;
  if (flags & mouseflag::RightDown) down_[vk::RButton] = true;
  if (flags & mouseflag::RightUp) down_[vk::RButton] = false;
}

bool SimDesktop::activateKeyboardLayout(const std::string& id) {
  layoutCalls.push_back(id);
  return true;
}

void SimDesktop::showForm(Form& f) {
  f.Loaded = true;
  f.Visible = true;
  if (std::find(shown_.begin(), shown_.end(), &f) == shown_.end()) shown_.push_back(&f);
  // The first show of a window runs its resize event, as a real window's does.
  if (!everShown_[&f]) {
    everShown_[&f] = true;
    if (f.Resize) f.Resize();
  }
  if (!f.NeverActivates && f.Visible) activate(&f);
}

void SimDesktop::hideForm(Form& f) {
  f.Visible = false;
  shown_.erase(std::remove(shown_.begin(), shown_.end(), &f), shown_.end());
  if (active_ == &f) active_ = nullptr;
}

void SimDesktop::activate(Form* f) {
  if (f == active_) return;
  Form* left = active_;
  active_ = f;
  // A copy runs: the handler may unload the window that owns it.
  if (left && left->Loaded && left->LostFocus) {
    const std::function<void()> lost = left->LostFocus;
    lost();
  }
}

void SimDesktop::unloadForm(Form& f) {
  hideForm(f);
  f.Loaded = false;
  everShown_.erase(&f);
  if (captureForm_ == &f) {
    captureForm_ = nullptr;
    capture_ = nullptr;
  }
  if (focusForm_ == &f) {
    focusForm_ = nullptr;
    focus_ = nullptr;
  }
}

void SimDesktop::makeTopmost(Form& f) { topmostCalls.push_back(f.Name); }

void SimDesktop::setColourKey(Form& f, Colour key) { colourKeyCalls.emplace_back(f.Name, key); }

void SimDesktop::bringToFront(Form& f) {
  frontCalls.push_back(f.Name);
  if (!f.NeverActivates && f.Visible) activate(&f);
}

void SimDesktop::setFocus(Form& f, Control& c) {
  focusCalls.push_back(c.Name);
  focusForm_ = &f;
  focus_ = &c;
}

Control* SimDesktop::focusedControl() const {
  if (!focusForm_ || !focus_) return nullptr;
  if (!focusForm_->Loaded || !focusForm_->Visible) return nullptr;
  if (std::find(shown_.begin(), shown_.end(), focusForm_) == shown_.end()) return nullptr;
  if (!effectivelyVisible(*focus_) || !focus_->Enabled) return nullptr;
  return focus_;
}

SizeTw SimDesktop::screenSize() {
  return {screenPx_.x * kTwipsPerPixel, screenPx_.y * kTwipsPerPixel};
}

Bitmap SimDesktop::captureScreen(const RectPx& r) {
  captures.push_back(r);
  Bitmap b;
  if (captureFails) return b;
  b.width = std::max(0, std::min(r.width, 4096));
  b.height = std::max(0, std::min(r.height, 4096));
  b.pixels.assign(static_cast<size_t>(b.width) * static_cast<size_t>(b.height), 0xFFFFFF);
  return b;
}

void SimDesktop::clipboardClear() {
  ++clipboardClears;
  clipboardPicture.reset();
}

void SimDesktop::clipboardSetPicture(const Bitmap& b) { clipboardPicture = b; }

template <class F>
auto SimDesktop::inBox(F&& answer) {
  struct Open {
    int& depth;
    explicit Open(int& d) : depth(d) { ++depth; }
    ~Open() { --depth; }
  } open(boxDepth_);
  return answer();
}

int SimDesktop::messageBox(const std::string& prompt, int buttons, const std::string& title) {
  messageBoxCalls.push_back({prompt, buttons, title});
  if (answerMessageBox) return inBox([&] { return answerMessageBox(prompt, buttons, title); });
  if (!messageBoxAnswers.empty()) {
    int a = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return a;
  }
  // Unscripted: the answer that changes nothing.
  if ((buttons & msgbox::kButtons) == msgbox::YesNo) return msgbox::No;
  if ((buttons & msgbox::kButtons) == msgbox::OkCancel) return msgbox::Cancel;
  if ((buttons & msgbox::kButtons) == msgbox::YesNoCancel) return msgbox::Cancel;
  return msgbox::Ok;
}

int SimDesktop::choiceBox(const ChoiceRequest& request) {
  choiceBoxCalls.push_back(request);
  int answer = request.escapeButton;
  if (answerChoiceBox) {
    answer = inBox([&] { return answerChoiceBox(request); });
  } else if (!choiceBoxAnswers.empty()) {
    answer = choiceBoxAnswers.front();
    choiceBoxAnswers.pop_front();
  }
  // A box has no button of another number.
  const int buttons = static_cast<int>(request.buttons.size());
  return answer >= 0 && answer < buttons ? answer : request.escapeButton;
}

std::optional<FileDialogChoice> SimDesktop::fileDialog(const FileDialogRequest& request) {
  fileDialogCalls.push_back(request);
  if (answerFileDialog) return inBox([&] { return answerFileDialog(request); });
  if (fileDialogAnswers.empty()) return std::nullopt;
  auto a = fileDialogAnswers.front();
  fileDialogAnswers.pop_front();
  return a;
}

SizeTw SimDesktop::measureLabel(const Font& font, const std::string& caption) {
  const double charPx = std::ceil(0.6 * font.Size) + (font.Bold ? 1 : 0);
  return {static_cast<double>(utf8Length(shownCaption(caption))) * charPx * kTwipsPerPixel,
          labelHeight(font)};
}

double SimDesktop::labelHeight(const Font& font) {
  return std::ceil(1.5 * font.Size) * kTwipsPerPixel;
}

std::optional<Picture> SimDesktop::loadPicture(const std::string& path) {
  pictureLoads.push_back(path);
  const FileRead file = readRegularFile(path, kMaxPictureBytes);
  if (file.outcome != ReadOutcome::Read) return std::nullopt;
  const std::optional<PictureSize> size = gifSize(file.content);
  if (!size) return std::nullopt;
  return Picture{path, size->width, size->height};
}

// --- the user ------------------------------------------------------------------------

int SimDesktop::shiftState() const {
  int s = 0;
  if (down_[vk::Shift] || down_[vk::LShift] || down_[vk::RShift]) s |= 1;
  if (down_[vk::Control] || down_[vk::LControl] || down_[vk::RControl]) s |= 2;
  if (down_[vk::Menu] || down_[vk::LMenu] || down_[vk::RMenu]) s |= 4;
  return s;
}

Form* SimDesktop::formAt(int x, int y, double& clientX, double& clientY) const {
  // The most recently shown window lies on top.
  for (auto it = shown_.rbegin(); it != shown_.rend(); ++it) {
    Form* f = *it;
    if (f->State == WindowState::Minimized || f->PointerPassesThrough) continue;
    const double left = singleDiv15(f->Left) + (f->Borderless ? 0 : kFrameLeftPx);
    const double top = (f->Top + (f->Borderless ? 0 : kFrameTopTw)) / kTwipsPerPixel;
    const double cx = (x - left) * kTwipsPerPixel;
    const double cy = (y - top) * kTwipsPerPixel;
    if (cx >= 0 && cy >= 0 && cx < f->ScaleWidth() && cy < f->ScaleHeight()) {
      clientX = cx;
      clientY = cy;
      return f;
    }
  }
  return nullptr;
}

bool SimDesktop::dispatchCaptured(int kind, int button) {
  Form* f = captureForm_;
  Control* c = capture_;
  if (!f || !c) return false;
  if (!f->Loaded || !f->Visible || !stillLoaded(*f, c)) {
    captureForm_ = nullptr;
    capture_ = nullptr;
    return false;
  }
  // The pointer in the capturing window's client area, inside it or not.
  const double cx =
      (pointer_.x - singleDiv15(f->Left) - (f->Borderless ? 0 : kFrameLeftPx)) * kTwipsPerPixel;
  const double cy = pointer_.y * kTwipsPerPixel - f->Top - (f->Borderless ? 0 : kFrameTopTw);
  double l, t;
  absolutePosition(*c, l, t);
  const int held = (down_[vk::LButton] ? 1 : 0) | (down_[vk::RButton] ? 2 : 0);
  const int buttons = kind == 0 ? held : button;
  // A click needs the release over the control, with its window on top there.
  double ux = 0, uy = 0, ox = 0, oy = 0;
  const bool over =
      formAt(pointer_.x, pointer_.y, ux, uy) == f && mouseTarget(*f, ux, uy, ox, oy) == c;
  if (kind == 2 && held == 0) {
    captureForm_ = nullptr;
    capture_ = nullptr;
  }
  const MouseHandler h = kind == 0 ? c->MouseMove : c->MouseUp;
  if (h) h(buttons, shiftState(), cx - l, cy - t);
  if (kind == 2 && button == 1 && over && stillLoaded(*f, c) && c->Click) {
    const std::function<void()> click = c->Click;
    click();
  }
  return true;
}

void SimDesktop::dispatchMouse(int kind, int button) {
  if (kind != 1 && dispatchCaptured(kind, button)) return;
  double cx = 0, cy = 0;
  Form* f = formAt(pointer_.x, pointer_.y, cx, cy);
  if (!f) {
    if (kind == 1) activate(nullptr);  // a press on the bare desktop
    return;
  }
  // A press makes its window the active one.
  if (kind == 1 && !f->NeverActivates) activate(f);
  if (!f->Loaded) return;
  double x = 0, y = 0;
  Control* c = mouseTarget(*f, cx, cy, x, y);
  if (kind == 1 && c && f->CapturesMouse) {
    captureForm_ = f;
    capture_ = c;
  }
  int buttons = button;
  if (kind == 0) buttons = (down_[vk::LButton] ? 1 : 0) | (down_[vk::RButton] ? 2 : 0);
  if (!c) {
    if (!onBareForm(*f, cx, cy)) return;
    // The bare form's own events, with the point in its client area.
    const MouseHandler h = kind == 0 ? f->MouseMove : kind == 1 ? f->MouseDown : f->MouseUp;
    if (h) h(buttons, shiftState(), cx, cy);
    if (kind == 2 && button == 1 && f->Loaded && f->Click) {
      const std::function<void()> click = f->Click;
      click();
    }
    return;
  }
  if (kind == 1 && button == 1 && c->Kind == ControlKind::TextBox) {
    focusForm_ = f;
    focus_ = c;
  }
  // Copies run: a handler may unload the very control that owns it.
  const MouseHandler h = kind == 0 ? c->MouseMove : kind == 1 ? c->MouseDown : c->MouseUp;
  if (h) h(buttons, shiftState(), x, y);
  if (kind == 2 && button == 1 && f->Loaded && stillLoaded(*f, c) && c->Click) {
    const std::function<void()> click = c->Click;
    click();
  }
}

void SimDesktop::userMovePointer(int x, int y) {
  pointer_ = {x, y};
  if (boxDepth_ == 0) dispatchMouse(0, 0);
}

void SimDesktop::userKeyDown(int vk) {
  if (!valid(vk)) return;
  if (boxDepth_ > 0) {
    // A key held from before the box stays the program's.
    if (!down_[static_cast<size_t>(vk)]) boxKeys_[static_cast<size_t>(vk)] = true;
    down_[static_cast<size_t>(vk)] = true;
    return;
  }
  const bool press = !down_[static_cast<size_t>(vk)];
  if (press) {
    toggled_[static_cast<size_t>(vk)] = !toggled_[static_cast<size_t>(vk)];
    latch_[static_cast<size_t>(vk)] = true;
    if (int g = genericOf(vk)) {
      latch_[static_cast<size_t>(g)] = true;
      toggled_[static_cast<size_t>(g)] = !toggled_[static_cast<size_t>(g)];
    }
  }
  down_[static_cast<size_t>(vk)] = true;
  // Once full, the presses typed first are the ones kept.
  if (press && vk != 0) {
    const KeyPress k{vk, (shiftState() & 1) != 0, (shiftState() & 2) != 0, down_[vk::LMenu]};
    for (std::deque<KeyPress>& list : presses_)
      if (list.size() < kMaxKeyPresses) list.push_back(k);
  }
  // Auto-repeats of a held key type again, as a real text box takes them.
  if (vk > vk::MButton) typeIntoFocus(vk);
}

namespace {

// The character a key types on a US keyboard, or 0.
char typedCharacter(int vk, bool shift) {
  if (vk >= 'A' && vk <= 'Z') return static_cast<char>(shift ? vk : vk - 'A' + 'a');
  if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : static_cast<char>(vk);
  if (vk >= 96 && vk <= 105) return static_cast<char>('0' + vk - 96);
  struct Key {
    int vk;
    char plain, shifted;
  };
  static constexpr Key kKeys[] = {
      {vk::Space, ' ', ' '}, {186, ';', ':'},  {187, '=', '+'}, {188, ',', '<'}, {189, '-', '_'},
      {190, '.', '>'},       {191, '/', '?'},  {192, '`', '~'}, {219, '[', '{'}, {220, '\\', '|'},
      {221, ']', '}'},       {222, '\'', '"'}, {106, '*', '*'}, {107, '+', '+'}, {109, '-', '-'},
      {110, '.', '.'},       {111, '/', '/'}};
  for (const Key& k : kKeys)
    if (k.vk == vk) return shift ? k.shifted : k.plain;
  return 0;
}

}  // namespace

void SimDesktop::typeIntoFocus(int vk) {
  Control* c = focusedControl();
  if (c && c->Kind == ControlKind::CommandButton) {
    // The handler may hide or unload the button's window: the copy runs whatever it does.
    if (auto handler = static_cast<CommandButton*>(c)->KeyDown) handler(vk, shiftState());
    return;
  }
  if (!c || c->Kind != ControlKind::TextBox) return;
  auto* box = static_cast<TextBox*>(c);
  const int shift = shiftState();
  // The handler may hide or unload the box's window: the copy runs whatever it does.
  if (box->KeyDown) {
    auto handler = box->KeyDown;
    handler(vk, shift);
  }
  if (focusedControl() != c) return;
  if (vk == vk::Back) {
    std::string t = box->Text();
    // One character off, whole: a UTF-8 sequence goes as one.
    while (!t.empty() && (static_cast<unsigned char>(t.back()) & 0xC0) == 0x80) t.pop_back();
    if (!t.empty()) t.pop_back();
    box->setText(std::move(t));
    return;
  }
  if (shift & 6) return;  // Ctrl and Alt chords type nothing
  if (const char ch = typedCharacter(vk, (shift & 1) != 0)) box->setText(box->Text() + ch);
}

void SimDesktop::userKeyUp(int vk) {
  if (!valid(vk)) return;
  down_[static_cast<size_t>(vk)] = false;
  boxKeys_[static_cast<size_t>(vk)] = false;
}

void SimDesktop::userButtonDown(int vk) {
  userKeyDown(vk);
  if (boxDepth_ == 0) dispatchMouse(1, vk == vk::LButton ? 1 : vk == vk::RButton ? 2 : 4);
}

void SimDesktop::userButtonUp(int vk) {
  // A button the box had is released on no window of the program.
  const bool theBoxs = valid(vk) && boxKeys_[static_cast<size_t>(vk)];
  userKeyUp(vk);
  if (boxDepth_ == 0 && !theBoxs)
    dispatchMouse(2, vk == vk::LButton ? 1 : vk == vk::RButton ? 2 : 4);
}

void SimDesktop::userMoveForm(Form& f, double left, double top) {
  if (f.Left == left && f.Top == top) return;
  f.Left = left;
  f.Top = top;
  if (f.Moved) f.Moved();
}

void SimDesktop::userResizeForm(Form& f, double width, double height) {
  // A window is never smaller than nothing, however far its border is dragged.
  f.Width = std::max(0.0, width);
  f.Height = std::max(0.0, height);
  f.State = WindowState::Normal;
  if (f.Resize) f.Resize();
}

void SimDesktop::userMinimizeForm(Form& f) {
  if (f.State == WindowState::Minimized) return;
  const FormPlace here{f.Left, f.Top, f.Width, f.Height, f.State};
  auto [it, fresh] = normalPlace_.try_emplace(&f, here);
  if (!fresh && f.State == WindowState::Normal) it->second = here;
  it->second.before = f.State;
  f.State = WindowState::Minimized;
  if (f.Resize) f.Resize();
}

void SimDesktop::userMaximizeForm(Form& f) {
  if (f.State == WindowState::Maximized) return;
  if (f.State == WindowState::Normal)
    normalPlace_[&f] = {f.Left, f.Top, f.Width, f.Height, WindowState::Normal};
  const SizeTw screen = screenSize();
  f.Left = 0;
  f.Top = 0;
  f.Width = screen.width;
  f.Height = screen.height;
  f.State = WindowState::Maximized;
  if (f.Resize) f.Resize();
}

void SimDesktop::userCloseForm(Form& f) {
  if (f.QueryUnload) {
    auto ask = f.QueryUnload;
    if (!ask()) return;
  }
  if (f.Unload) {
    auto handler = f.Unload;
    handler();
  }
  if (f.Loaded) unloadForm(f);
}

void SimDesktop::userRestoreForm(Form& f) {
  if (f.State == WindowState::Normal) return;
  auto it = normalPlace_.find(&f);
  const bool back = f.State == WindowState::Minimized && it != normalPlace_.end() &&
                    it->second.before == WindowState::Maximized;
  if (back) {
    f.State = WindowState::Maximized;
  } else {
    if (it != normalPlace_.end()) {
      f.Left = it->second.left;
      f.Top = it->second.top;
      f.Width = it->second.width;
      f.Height = it->second.height;
    }
    f.State = WindowState::Normal;
  }
  if (f.Resize) f.Resize();
}

// --- the host ------------------------------------------------------------------------

void SimHost::at(Millis t, std::function<void()> action) {
  actions_.push_back({std::max(t, clock.now()), seq_++, std::move(action)});
}

std::vector<SimHost::Action>::iterator SimHost::nextAction() {
  return std::min_element(actions_.begin(), actions_.end(), [](const Action& a, const Action& b) {
    return a.t < b.t || (a.t == b.t && a.seq < b.seq);
  });
}

void SimHost::runAction(std::vector<Action>::iterator action) {
  clock.set(std::max(clock.now(), action->t));
  auto fn = std::move(action->fn);
  actions_.erase(action);
  fn();
}

void SimHost::advance(Millis ms) {
  const Millis target = clock.now() + std::max<Millis>(0, ms);
  for (;;) {
    const auto next = nextAction();
    const bool haveAction = next != actions_.end() && next->t <= target;
    const std::optional<Millis> due = scheduler.nextDue();
    const bool haveTick = due && *due <= target;
    if (!haveAction && !haveTick) break;
    if (haveAction && (!haveTick || next->t <= *due)) {
      runAction(next);
    } else {
      clock.set(std::max(clock.now(), *due));
      scheduler.fireNext();
    }
  }
  clock.set(target);
}

void SimHost::stall(Millis ms) {
  const Millis target = clock.now() + std::max<Millis>(0, ms);
  for (;;) {
    const auto next = nextAction();
    if (next == actions_.end() || next->t > target) break;
    runAction(next);
  }
  clock.set(target);
  scheduler.fireDue();
}

void SimHost::tap(int vk, Millis ms) {
  desktop.userKeyDown(vk);
  at(clock.now() + ms, [this, vk] { desktop.userKeyUp(vk); });
}

}  // namespace kel
