// The forms model: windows and their controls as plain values.
//
// A control is a struct with public fields in the units the program computes in
// (twips for positions and sizes, 0x00BBGGRR colours). The model never waits for the
// screen: a backend draws it and, after every event and every timer tick, brings its
// widgets in line with whatever the fields hold. Property sets that have side effects
// on a real desktop (auto-sizing a label, loading a picture, loading or unloading an
// element of a control array) are explicit calls, so the model stays inspectable.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kel {

using Colour = std::uint32_t;  // 0x00BBGGRR

inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kBlue = 0xFF0000;
// The system's button-text colour, the default text colour of labels.
inline constexpr Colour kButtonText = 0x000000;
// The system's button face, the default background of buttons and frames.
inline constexpr Colour kButtonFace = 0xF0F0F0;

struct Font {
  std::string Name = "MS Sans Serif";
  double Size = 8.25;  // points
  bool Bold = false;
  int Charset = 0;
  bool operator==(const Font&) const = default;
};

// A picture as the model knows it: the file it came from and its size in pixels.
// An empty path is "no picture".
struct Picture {
  std::string Path;
  int WidthPx = 0;
  int HeightPx = 0;
  bool empty() const { return Path.empty(); }
  bool operator==(const Picture&) const = default;
};

enum class ControlKind {
  Label,
  Image,
  PictureBox,
  TextBox,
  ListBox,
  ComboBox,
  CheckBox,
  CommandButton,
  Frame,
  Shape,
  Line,
};

// A place where a backend keeps the widget that shows a control. Copying a control
// (a new element of a control array starts as a copy of its template) never copies
// the widget: the copy gets one of its own.
class ViewSlot {
 public:
  ViewSlot() = default;
  ViewSlot(const ViewSlot&) {}
  ViewSlot& operator=(const ViewSlot&) { return *this; }
  std::shared_ptr<void> view;
};

using MouseHandler = std::function<void(int button, int shift, double x, double y)>;

struct Control {
  Control(std::string name, ControlKind kind) : Name(std::move(name)), Kind(kind) {}
  virtual ~Control() = default;
  Control(const Control&) = default;
  Control& operator=(const Control&) = default;

  std::string Name;
  ControlKind Kind;
  int Index = -1;                // element index within a control array, -1 otherwise
  Control* Container = nullptr;  // nullptr: the form's client area
  double Left = 0, Top = 0, Width = 0, Height = 0;
  bool Visible = true;
  bool Enabled = true;
  Colour BackColor = kButtonFace;
  Colour ForeColor = kButtonText;
  int MousePointer = 0;  // 0 default; 99 custom (MouseIcon)
  Picture MouseIcon;

  MouseHandler MouseDown, MouseMove, MouseUp;
  std::function<void()> Click, DblClick;

  ViewSlot view;
};

struct Label : Control {
  explicit Label(std::string name) : Control(std::move(name), ControlKind::Label) {}
  std::string Caption;
  kel::Font Font;
  bool AutoSize = false;
  bool Opaque = true;  // BackStyle: opaque (true) or transparent
  bool Border = false;
  int Alignment = 0;  // 0 left, 1 right, 2 centre
  bool WordWrap = false;
};

struct Image : Control {
  explicit Image(std::string name) : Control(std::move(name), ControlKind::Image) {
    BackColor = kWhite;
  }
  kel::Picture Picture;
  bool Stretch = false;
};

struct PictureBox : Control {
  explicit PictureBox(std::string name) : Control(std::move(name), ControlKind::PictureBox) {}
  kel::Picture Picture;
  bool Border = false;
};

class TextBox : public Control {
 public:
  explicit TextBox(std::string name) : Control(std::move(name), ControlKind::TextBox) {
    BackColor = kWhite;
  }
  const std::string& Text() const { return text_; }
  // Change runs only when the text really changes, as a text box's change event does.
  void setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    if (Change) Change();
  }
  kel::Font Font;
  std::function<void()> Change;

 private:
  std::string text_;
};

struct ListBox : Control {
  explicit ListBox(std::string name) : Control(std::move(name), ControlKind::ListBox) {
    BackColor = kWhite;
  }
  std::vector<std::string> Items;
  int ListIndex = -1;  // the selected entry, -1 none
  int ListCount() const { return static_cast<int>(Items.size()); }
  void AddItem(std::string item) { Items.push_back(std::move(item)); }
  void Clear() {
    Items.clear();
    ListIndex = -1;
  }
  // The selected entry's text; empty when nothing is selected.
  std::string Text() const {
    return ListIndex >= 0 && ListIndex < ListCount() ? Items[static_cast<size_t>(ListIndex)]
                                                     : std::string();
  }
};

struct ComboBox : Control {
  explicit ComboBox(std::string name) : Control(std::move(name), ControlKind::ComboBox) {
    BackColor = kWhite;
  }
  std::vector<std::string> Items;
  int ListIndex = -1;
  kel::Font Font;
  int ListCount() const { return static_cast<int>(Items.size()); }
};

struct CheckBox : Control {
  explicit CheckBox(std::string name) : Control(std::move(name), ControlKind::CheckBox) {}
  std::string Caption;
  int Value = 0;  // 0 unticked, 1 ticked
  kel::Font Font;
};

struct CommandButton : Control {
  explicit CommandButton(std::string name) : Control(std::move(name), ControlKind::CommandButton) {}
  std::string Caption;
  kel::Picture Picture;
  kel::Font Font;
};

struct Frame : Control {
  explicit Frame(std::string name) : Control(std::move(name), ControlKind::Frame) {}
  std::string Caption;
  bool Border = false;
};

struct Shape : Control {
  explicit Shape(std::string name) : Control(std::move(name), ControlKind::Shape) {}
  Colour FillColor = kRed;
  bool Filled = true;
};

struct Line : Control {
  explicit Line(std::string name) : Control(std::move(name), ControlKind::Line) {}
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  Colour BorderColor = kBlack;
  int BorderWidth = 1;  // pixels
};

// A control array: element 0 is the design-time template, never shown; every element
// loaded later starts as a hidden copy of it. Indexing an element that is not loaded
// throws, as the classic runtime raises an error.
class ControlArrayBase {
 public:
  virtual ~ControlArrayBase() = default;
  virtual void forEachLoaded(const std::function<void(Control&)>& f) = 0;
  virtual int upperBound() const = 0;
  virtual Control* elementAt(int index) = 0;
};

template <class C>
class ControlArray : public ControlArrayBase {
 public:
  explicit ControlArray(C templ, int maxIndex) : maxIndex_(maxIndex) {
    templ.Index = 0;
    elements_.push_back(std::make_unique<C>(std::move(templ)));
  }

  bool IsLoaded(int index) const {
    return index >= 0 && index < static_cast<int>(elements_.size()) &&
           elements_[static_cast<size_t>(index)] != nullptr;
  }
  C& operator[](int index) {
    if (!IsLoaded(index)) throw std::out_of_range("control array element not loaded");
    return *elements_[static_cast<size_t>(index)];
  }
  const C& operator[](int index) const {
    if (!IsLoaded(index)) throw std::out_of_range("control array element not loaded");
    return *elements_[static_cast<size_t>(index)];
  }
  // Loads element `index` as a hidden copy of element 0. Loading an element that is
  // loaded already, or an index outside 1..maxIndex, throws and changes nothing.
  C& Load(int index) {
    if (index < 1 || index > maxIndex_) throw std::out_of_range("control array index");
    if (IsLoaded(index)) throw std::logic_error("control array element already loaded");
    auto e = std::make_unique<C>(*elements_[0]);
    e->Index = index;
    e->Visible = false;
    wire(*e);
    if (static_cast<int>(elements_.size()) <= index)
      elements_.resize(static_cast<size_t>(index) + 1);
    C& ref = *e;
    elements_[static_cast<size_t>(index)] = std::move(e);
    return ref;
  }
  void Unload(int index) {
    if (index < 1 || !IsLoaded(index)) return;
    elements_[static_cast<size_t>(index)].reset();
    while (elements_.size() > 1 && !elements_.back()) elements_.pop_back();
  }
  int UBound() const { return static_cast<int>(elements_.size()) - 1; }
  int maxIndex() const { return maxIndex_; }

  void forEachLoaded(const std::function<void(Control&)>& f) override {
    for (auto& e : elements_)
      if (e) f(*e);
  }
  int upperBound() const override { return UBound(); }
  Control* elementAt(int index) override { return IsLoaded(index) ? &(*this)[index] : nullptr; }

  // Events of the whole array; the element's index comes first.
  std::function<void(int index, int button, int shift, double x, double y)> MouseDown, MouseMove,
      MouseUp;
  std::function<void(int index)> Click;

 private:
  void wire(C& e) {
    const int i = e.Index;
    e.MouseDown = [this, i](int b, int s, double x, double y) {
      if (MouseDown) MouseDown(i, b, s, x, y);
    };
    e.MouseMove = [this, i](int b, int s, double x, double y) {
      if (MouseMove) MouseMove(i, b, s, x, y);
    };
    e.MouseUp = [this, i](int b, int s, double x, double y) {
      if (MouseUp) MouseUp(i, b, s, x, y);
    };
    e.Click = [this, i] {
      if (Click) Click(i);
    };
  }

  int maxIndex_;
  std::vector<std::unique_ptr<C>> elements_;
};

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// A window. Left/Top/Width/Height are its outer frame in twips; its client area
// stands kFrameLeftPx to the right of Left and kFrameTopTw below Top, whatever the
// window manager draws (the backend keeps it there).
class Form {
 public:
  explicit Form(std::string name) : Name(std::move(name)) {}
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  std::string Name;
  std::string Caption;
  double Left = 0, Top = 0, Width = 0, Height = 0;
  bool Visible = false;
  bool Loaded = false;
  WindowState State = WindowState::Normal;
  Colour BackColor = kButtonFace;
  bool Sizable = true;
  Picture Icon;

  // Client size in twips, as the frame rule gives it.
  double ScaleWidth() const;
  double ScaleHeight() const;

  std::function<void()> Load, Resize, Unload;

  // Registration, back to front: a control added later lies above earlier ones.
  void add(Control& c) { layers_.push_back({&c, nullptr}); }
  void add(ControlArrayBase& a) { layers_.push_back({nullptr, &a}); }

  struct Layer {
    Control* control;
    ControlArrayBase* array;
  };
  const std::vector<Layer>& layers() const { return layers_; }
  void forEachControl(const std::function<void(Control&)>& f) const;

  // The topmost visible control under a client point (twips), nullptr for the bare
  // form. Coordinates of a child are relative to its container; hidden containers
  // hide their children. Used by the headless desktop to route pointer events the
  // way a real window system does.
  Control* hitTest(double clientX, double clientY) const;

  ViewSlot view;

 private:
  std::vector<Layer> layers_;
};

// The control a mouse event at a client point (twips) goes to, and the point in that
// control's own twips (x, y): the topmost control there (Form::hitTest), and nobody
// outside the client area, over the bare form or over a disabled control (its container
// gets nothing either). Both desktops route every pointer event by this one rule.
Control* mouseTarget(const Form& f, double clientX, double clientY, double& x, double& y);
// Whether the control is (still) one of the form's: an event handler may unload the
// element that got the event.
bool stillLoaded(const Form& f, const Control* c);

// A control's position relative to the form's client area (its containers' offsets added).
void absolutePosition(const Control& c, double& left, double& top);
// Whether the control and all its containers are visible.
bool effectivelyVisible(const Control& c);

}  // namespace kel
