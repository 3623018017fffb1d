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
#include <ostream>
#include <stdexcept>
#include <string>
#include <type_traits>
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

// --- change tracking ---------------------------------------------------------------------
//
// A backend must bring its widgets in line with the model after every event and tick,
// and a page holds thousands of controls: visiting them all would make the idle cost grow
// with the page. So every property that a widget shows is a Prop: assigning it a different
// value marks its owner (a control or a form) with the property's change bit, and the first
// mark since the last sync puts the owner on its form's ChangeLog. The backend drains the
// log and touches only what is on it; a batch that changed nothing costs nothing.

// What changed, as bits. A new control (or element) starts with every bit set.
enum ChangeBits : std::uint32_t {
  kChangedGeometry = 1u << 0,  // Left Top Width Height, a line's ends, the container
  kChangedVisible = 1u << 1,
  kChangedEnabled = 1u << 2,
  kChangedColours = 1u << 3,  // BackColor ForeColor FillColor BorderColor
  kChangedText = 1u << 4,     // Caption, a text box's text
  kChangedFont = 1u << 5,
  kChangedPicture = 1u << 6,  // Picture, a form's Icon
  kChangedItems = 1u << 7,    // list items and ListIndex
  kChangedValue = 1u << 8,    // a check box's value
  kChangedCursor = 1u << 9,   // MousePointer, MouseIcon
  kChangedStyle = 1u << 10,   // AutoSize, BackStyle, Border, Alignment, WordWrap, Stretch ...
  kChangedState = 1u << 11,   // a form's window state, Sizable
  // The container (a change of it is one of geometry too).
  kChangedContainer = 1u << 12,
  kChangedAll = 0xFFFFFFFFu,
};

class ChangeLog;
class Control;
class ControlArrayBase;
class Form;
// The owners of properties: a Prop is copied only as part of a copy of one of them.
struct FontProps;
struct Label;
struct Image;
struct PictureBox;
class TextBox;
struct ListBox;
struct ComboBox;
struct CheckBox;
struct CommandButton;
struct Frame;
struct Shape;
struct Line;

// The base of everything a ChangeLog can hold.
class Tracked {
 public:
  virtual ~Tracked();
  // The change bits gathered since the owner was last drained from its log.
  std::uint32_t changes() const { return changes_; }
  // Marks changes that no Prop assignment made (an edited list, a new picture drawn
  // under the same name).
  void markChanged(std::uint32_t bits);
  // Every change from now on adds one to *counter, and so does every change of a copy made
  // from now on (the elements of a control array are copies of its template).
  void countChangesIn(std::uint64_t* counter) { counter_ = counter; }
  virtual Control* asControl() { return nullptr; }
  virtual Form* asForm() { return nullptr; }

 protected:
  Tracked() = default;
  // A copy is a new thing for the backend: everything about it is still to be shown. It
  // reports to the same log (an element of a control array is a copy of its template).
  Tracked(const Tracked& other);
  Tracked& operator=(const Tracked&);
  void attachLog(ChangeLog* log);

 private:
  friend class ChangeLog;
  ChangeLog* log_ = nullptr;
  std::uint32_t changes_ = kChangedAll;
  std::size_t slot_ = kNoSlot;
  // Where it stands in its log's list of places changed since the hit test looked.
  std::size_t movedSlot_ = kNoSlot;
  std::uint64_t* counter_ = nullptr;
  static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
};

// The controls and forms of one form that changed since the last drain, each once, in the
// order of their first change.
class ChangeLog {
 public:
  ChangeLog() = default;
  ChangeLog(const ChangeLog&) = delete;
  ChangeLog& operator=(const ChangeLog&) = delete;
  ~ChangeLog();

  bool empty() const { return entries_.size() == dead_; }
  std::size_t size() const { return entries_.size() - dead_; }
  // Counts changes of the form's structure: a control registered, an element loaded or
  // unloaded, a container assigned. What is derived from the structure alone (the
  // stacking order the hit test walks) holds while this stays the same.
  std::uint64_t structure() const { return structure_; }
  void structureChanged() { ++structure_; }
  // Hands every owner whose place, size or visibility changed since the last call to f,
  // each once, and forgets them (the hit test keeps what it knows of places up to date
  // by these, so a pointer event costs no walk over every control).
  template <class F>
  void takeMoved(F&& f) {
    std::vector<Tracked*> batch;
    batch.swap(moved_);
    movedDead_ = 0;
    for (Tracked* t : batch)
      if (t) t->movedSlot_ = Tracked::kNoSlot;
    for (Tracked* t : batch)
      if (t) f(*t);
  }
  // Hands every changed owner with its bits to f and clears them. An owner that f (or
  // anything it calls) changes again goes on the log anew, for the next drain; f must not
  // destroy owners that are still to come.
  template <class F>
  void drain(F&& f) {
    std::vector<Tracked*> batch;
    batch.swap(entries_);
    dead_ = 0;
    for (Tracked* t : batch) {
      if (!t) continue;
      const std::uint32_t bits = t->changes_;
      t->changes_ = 0;
      t->slot_ = Tracked::kNoSlot;
      f(*t, bits);
    }
  }

 private:
  friend class Tracked;
  void enqueue(Tracked& t);
  void remove(Tracked& t);
  void noteMoved(Tracked& t);
  void forgetMoved(Tracked& t);
  // Once most of a list (dead of its entries) are holes, closes them up, telling each owner
  // its new place in the list (its member slot).
  static void dropHoles(std::vector<Tracked*>& list, std::size_t& dead, std::size_t Tracked::*slot);
  std::vector<Tracked*> entries_;
  std::vector<Tracked*> moved_;
  std::size_t movedDead_ = 0;
  std::size_t dead_ = 0;
  std::uint64_t structure_ = 0;
};

namespace detail {
template <class T>
concept HasSize = requires(const T& t) {
  t.size();
};
template <class T>
concept HasEmpty = requires(const T& t) {
  t.empty();
};
template <class T>
concept HasBegin = requires(const T& t) {
  t.begin();
  t.end();
};
template <class T>
concept Indexable = requires(const T& t) {
  t[std::size_t{0}];
};
template <class T>
concept IsString = std::is_same_v<T, std::string>;
}  // namespace detail

// A property a widget shows. It reads like the value it holds (a conversion, `->` for
// members, and the usual const members of strings and vectors) and is assigned like it;
// an assignment that changes the value marks the owner with Bits. The owner is found from
// the Prop's own address: it is constructed with its owner, and the offset it keeps stays
// right in every copy of the owner, which has the same layout. So only an owner copies a
// Prop, as part of a copy of itself: a Prop copied out on its own (`auto c = l.Caption`)
// would mark whatever lies at that offset from the copy, and does not compile. Read the
// value instead (`std::string c = l.Caption`, `l.Caption.get()`).
template <class T, std::uint32_t Bits>
class Prop {
 public:
  explicit Prop(Tracked* owner) : offset_(offsetFrom(owner)), v_() {}
  Prop(Tracked* owner, T v) : offset_(offsetFrom(owner)), v_(std::move(v)) {}
  // Assigning one Prop to another takes its value and marks this one's own owner.
  Prop& operator=(const Prop& other) {
    set(other.v_);
    return *this;
  }
  Prop& operator=(const T& v) {
    set(v);
    return *this;
  }
  Prop& operator=(T&& v) {
    set(std::move(v));
    return *this;
  }
  template <class U>
  requires(!std::is_same_v<std::decay_t<U>, T> && !std::is_same_v<std::decay_t<U>, Prop> &&
           std::is_constructible_v<T, U&&>) Prop&
  operator=(U&& u) {
    set(T(std::forward<U>(u)));
    return *this;
  }

  operator const T&() const { return v_; }
  const T& get() const { return v_; }
  const T* operator->() const { return &v_; }
  // Changes the value in place (a list's items): marks the owner whatever is done.
  T& edit() {
    owner().markChanged(Bits);
    return v_;
  }

  template <class U>
  Prop& operator+=(const U& u) {
    set(static_cast<T>(v_ + u));
    return *this;
  }
  template <class U>
  Prop& operator-=(const U& u) {
    set(static_cast<T>(v_ - u));
    return *this;
  }

  // The const members that call sites use of strings, vectors and pictures.
  auto size() const requires detail::HasSize<T> { return v_.size(); }
  bool empty() const requires detail::HasEmpty<T> { return v_.empty(); }
  auto begin() const requires detail::HasBegin<T> { return v_.begin(); }
  auto end() const requires detail::HasBegin<T> { return v_.end(); }
  decltype(auto) operator[](std::size_t i) const requires detail::Indexable<T> { return v_[i]; }
  const char* c_str() const requires detail::IsString<T> { return v_.c_str(); }
  std::string substr(std::size_t pos,
                     std::size_t n = std::string::npos) const requires detail::IsString<T> {
    return v_.substr(pos, n);
  }
  std::size_t find(const std::string& s, std::size_t pos = 0) const requires detail::IsString<T> {
    return v_.find(s, pos);
  }

  friend bool operator==(const Prop& a, const T& b) { return a.v_ == b; }
  friend bool operator==(const Prop& a, const Prop& b) { return a.v_ == b.v_; }
  // A number of another type (a twips Prop against a whole number): without it, converting
  // the number to T and converting the Prop to its value are equally good, and a compiler
  // that weighs C++20's rewritten comparisons strictly finds `left == 15` ambiguous.
  template <class U>
  requires(std::is_arithmetic_v<T>&& std::is_arithmetic_v<U> && !std::is_same_v<U, T>) friend bool
  operator==(const Prop& a, const U& b) {
    return a.v_ == b;
  }
  friend std::string operator+(const Prop& a, const std::string& b) requires detail::IsString<T> {
    return a.v_ + b;
  }
  friend std::string operator+(const std::string& a, const Prop& b) requires detail::IsString<T> {
    return a + b.v_;
  }
  friend std::string operator+(const Prop& a, const char* b) requires detail::IsString<T> {
    return a.v_ + b;
  }
  friend std::string operator+(const char* a, const Prop& b) requires detail::IsString<T> {
    return a + b.v_;
  }
  friend std::ostream& operator<<(std::ostream& os, const Prop& p) requires
      requires(std::ostream& o, const T& t) {
    o << t;
  }
  { return os << p.v_; }

 private:
  Prop(const Prop&) = default;
  friend class Control;
  friend struct FontProps;
  friend struct Label;
  friend struct Image;
  friend struct PictureBox;
  friend class TextBox;
  friend struct ListBox;
  friend struct ComboBox;
  friend struct CheckBox;
  friend struct CommandButton;
  friend struct Frame;
  friend struct Shape;
  friend struct Line;

  std::ptrdiff_t offsetFrom(Tracked* owner) const {
    return reinterpret_cast<const char*>(this) - reinterpret_cast<const char*>(owner);
  }
  Tracked& owner() { return *reinterpret_cast<Tracked*>(reinterpret_cast<char*>(this) - offset_); }
  void set(T v) {
    if (v_ == v) return;
    v_ = std::move(v);
    owner().markChanged(Bits);
  }

  std::ptrdiff_t offset_;
  T v_;
};

// A control's font, each member tracked, readable and assignable as a whole Font. Its
// members find the control as a Prop does, so it too is copied only with its control (read
// a copy as a Font: `kel::Font f = l.Font`).
struct FontProps {
  explicit FontProps(Tracked* o, const kel::Font& f = {})
      : Name(o, f.Name), Size(o, f.Size), Bold(o, f.Bold), Charset(o, f.Charset) {}
  FontProps& operator=(const FontProps& f) { return *this = kel::Font(f); }
  FontProps& operator=(const kel::Font& f) {
    Name = f.Name;
    Size = f.Size;
    Bold = f.Bold;
    Charset = f.Charset;
    return *this;
  }
  operator kel::Font() const { return kel::Font{Name, Size, Bold, Charset}; }
  kel::Font get() const { return *this; }
  friend bool operator==(const FontProps& a, const kel::Font& b) { return a.get() == b; }

  Prop<std::string, kChangedFont> Name;
  Prop<double, kChangedFont> Size;
  Prop<bool, kChangedFont> Bold;
  Prop<int, kChangedFont> Charset;

 private:
  FontProps(const FontProps&) = default;
  friend struct Label;
  friend class TextBox;
  friend struct ComboBox;
  friend struct CheckBox;
  friend struct CommandButton;
};

using MouseHandler = std::function<void(int button, int shift, double x, double y)>;

class Control : public Tracked {
 public:
  Control(std::string name, ControlKind kind) : Name(std::move(name)), Kind(kind) {}
  ~Control() override = default;
  Control(const Control&) = default;
  Control& operator=(const Control&) = default;
  Control* asControl() override { return this; }

  std::string Name;
  ControlKind Kind;
  int Index = -1;                     // element index within a control array, -1 otherwise
  ControlArrayBase* Array = nullptr;  // the control array it is an element of
  // nullptr: the form's client area
  Prop<Control*, kChangedGeometry | kChangedContainer> Container{this, nullptr};
  Prop<double, kChangedGeometry> Left{this, 0.0}, Top{this, 0.0}, Width{this, 0.0},
      Height{this, 0.0};
  Prop<bool, kChangedVisible> Visible{this, true};
  Prop<bool, kChangedEnabled> Enabled{this, true};
  Prop<Colour, kChangedColours> BackColor{this, kButtonFace};
  Prop<Colour, kChangedColours> ForeColor{this, kButtonText};
  Prop<int, kChangedCursor> MousePointer{this, 0};  // 0 default; 99 custom (MouseIcon)
  Prop<Picture, kChangedCursor> MouseIcon{this};

  MouseHandler MouseDown, MouseMove, MouseUp;
  std::function<void()> Click, DblClick;

  ViewSlot view;

 private:
  friend class Form;
  template <class C>
  friend class ControlArray;
  using Tracked::attachLog;
  // Where the hit test last put it: a sibling list and the place in it (checked before
  // use, since a copy carries its original's).
  mutable std::uint32_t hitList_ = 0, hitPos_ = 0;
};

struct Label : Control {
  explicit Label(std::string name) : Control(std::move(name), ControlKind::Label) {}
  Prop<std::string, kChangedText> Caption{this};
  FontProps Font{this};
  Prop<bool, kChangedStyle> AutoSize{this, false};
  Prop<bool, kChangedStyle> Opaque{this, true};  // BackStyle: opaque (true) or transparent
  Prop<bool, kChangedStyle> Border{this, false};
  Prop<int, kChangedStyle> Alignment{this, 0};  // 0 left, 1 right, 2 centre
  Prop<bool, kChangedStyle> WordWrap{this, false};
};

struct Image : Control {
  explicit Image(std::string name) : Control(std::move(name), ControlKind::Image) {
    BackColor = kWhite;
  }
  Prop<kel::Picture, kChangedPicture> Picture{this};
  Prop<bool, kChangedStyle> Stretch{this, false};
};

struct PictureBox : Control {
  explicit PictureBox(std::string name) : Control(std::move(name), ControlKind::PictureBox) {}
  Prop<kel::Picture, kChangedPicture> Picture{this};
  Prop<bool, kChangedStyle> Border{this, false};
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
    markChanged(kChangedText);
    if (Change) Change();
  }
  FontProps Font{this};
  std::function<void()> Change;
  // A key went down while the box had the keyboard focus: its virtual-key code and the
  // shift state (1 Shift, 2 Ctrl, 4 Alt). The box still takes the key itself.
  std::function<void(int keyCode, int shift)> KeyDown;

 private:
  std::string text_;
};

struct ListBox : Control {
  explicit ListBox(std::string name) : Control(std::move(name), ControlKind::ListBox) {
    BackColor = kWhite;
  }
  Prop<std::vector<std::string>, kChangedItems> Items{this};
  Prop<int, kChangedItems> ListIndex{this, -1};  // the selected entry, -1 none
  int ListCount() const { return static_cast<int>(Items.size()); }
  void AddItem(std::string item) { Items.edit().push_back(std::move(item)); }
  void Clear() {
    if (!Items.empty()) Items.edit().clear();
    ListIndex = -1;
  }
  // The selected entry's text; empty when nothing is selected.
  std::string Text() const {
    return ListIndex >= 0 && ListIndex < ListCount() ? Items[static_cast<size_t>(ListIndex.get())]
                                                     : std::string();
  }
};

struct ComboBox : Control {
  explicit ComboBox(std::string name) : Control(std::move(name), ControlKind::ComboBox) {
    BackColor = kWhite;
  }
  Prop<std::vector<std::string>, kChangedItems> Items{this};
  Prop<int, kChangedItems> ListIndex{this, -1};
  FontProps Font{this};
  int ListCount() const { return static_cast<int>(Items.size()); }
};

struct CheckBox : Control {
  explicit CheckBox(std::string name) : Control(std::move(name), ControlKind::CheckBox) {}
  Prop<std::string, kChangedText> Caption{this};
  Prop<int, kChangedValue> Value{this, 0};  // 0 unticked, 1 ticked
  FontProps Font{this};
};

struct CommandButton : Control {
  explicit CommandButton(std::string name) : Control(std::move(name), ControlKind::CommandButton) {}
  Prop<std::string, kChangedText> Caption{this};
  Prop<kel::Picture, kChangedPicture> Picture{this};
  FontProps Font{this};
  // 0 standard: the desktop's button face; 1 graphical: BackColor is the face, and the
  // picture stands centred on it.
  Prop<int, kChangedStyle> Style{this, 0};
  // A key went down while the button had the keyboard focus, as for a text box. The button
  // still takes the key itself (Space presses it).
  std::function<void(int keyCode, int shift)> KeyDown;
};

struct Frame : Control {
  explicit Frame(std::string name) : Control(std::move(name), ControlKind::Frame) {}
  Prop<std::string, kChangedText> Caption{this};
  Prop<bool, kChangedStyle> Border{this, false};
};

struct Shape : Control {
  explicit Shape(std::string name) : Control(std::move(name), ControlKind::Shape) {}
  Prop<Colour, kChangedColours> FillColor{this, kRed};
  Prop<bool, kChangedStyle> Filled{this, true};
};

struct Line : Control {
  explicit Line(std::string name) : Control(std::move(name), ControlKind::Line) {}
  Prop<double, kChangedGeometry> X1{this, 0.0}, Y1{this, 0.0}, X2{this, 0.0}, Y2{this, 0.0};
  Prop<Colour, kChangedColours> BorderColor{this, kBlack};
  Prop<int, kChangedStyle> BorderWidth{this, 1};  // pixels
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
  // Every element, the template included, reports its changes to this log.
  virtual void attachLog(ChangeLog* log) = 0;
};

template <class C>
class ControlArray : public ControlArrayBase {
 public:
  explicit ControlArray(C templ, int maxIndex) : maxIndex_(maxIndex) {
    templ.Index = 0;
    templ.Array = this;
    elements_.push_back(std::make_unique<C>(std::move(templ)));
    elements_[0]->countChangesIn(&changes_);
  }
  ControlArray(const ControlArray&) = delete;
  ControlArray& operator=(const ControlArray&) = delete;

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
    ++changes_;
    if (log_) log_->structureChanged();
    return ref;
  }
  void Unload(int index) {
    if (index < 1 || !IsLoaded(index)) return;
    elements_[static_cast<size_t>(index)].reset();
    while (elements_.size() > 1 && !elements_.back()) elements_.pop_back();
    ++changes_;
    if (log_) log_->structureChanged();
  }
  int UBound() const { return static_cast<int>(elements_.size()) - 1; }
  // Counts every change of what the array holds: an element loaded or unloaded, a property
  // of one set to a new value. A signal that costs nothing to read: what the elements show
  // can only have changed when it did.
  std::uint64_t changeCount() const { return changes_; }
  int maxIndex() const { return maxIndex_; }

  void forEachLoaded(const std::function<void(Control&)>& f) override {
    for (auto& e : elements_)
      if (e) f(*e);
  }
  int upperBound() const override { return UBound(); }
  Control* elementAt(int index) override { return IsLoaded(index) ? &(*this)[index] : nullptr; }
  void attachLog(ChangeLog* log) override {
    log_ = log;
    for (auto& e : elements_)
      if (e) e->attachLog(log);
  }

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
  ChangeLog* log_ = nullptr;
  std::uint64_t changes_ = 0;
};

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// A window. Left/Top/Width/Height are its outer frame in twips; its client area
// stands kFrameLeftPx to the right of Left and kFrameTopTw below Top, whatever the
// window manager draws (the backend keeps it there); a borderless window's client area is
// the window itself.
class Form : public Tracked {
 public:
  explicit Form(std::string name);
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  Form* asForm() override { return this; }

  std::string Name;
  Prop<std::string, kChangedText> Caption{this};
  Prop<double, kChangedGeometry> Left{this, 0.0}, Top{this, 0.0}, Width{this, 0.0},
      Height{this, 0.0};
  Prop<bool, kChangedVisible> Visible{this, false};
  bool Loaded = false;
  Prop<WindowState, kChangedState> State{this, WindowState::Normal};
  Prop<Colour, kChangedColours> BackColor{this, kButtonFace};
  Prop<bool, kChangedState> Sizable{this, true};
  Prop<Picture, kChangedPicture> Icon{this};
  // The kind of window, fixed before it is first shown. A borderless window has no frame
  // or caption: its client area is the whole window, at Left/Top. One that never
  // activates takes no keyboard focus when shown; one the pointer passes through leaves
  // every pointer event to whatever lies beneath it.
  bool Borderless = false;
  bool NeverActivates = false;
  bool PointerPassesThrough = false;
  // A press on a control of a window that captures the mouse captures it, as a classic
  // window does: until the buttons are up, every move and the release go to that control,
  // in its own twips, wherever the pointer is (a click still needs the release over it).
  // A window the program drags by one of its controls needs that.
  bool CapturesMouse = false;
  // The window this one belongs to, fixed before it is first shown: whenever both are
  // shown it stands above its owner, however the owner is raised or clicked (the window
  // manager takes it along when the owner is minimised, and gives it no button of its own
  // for that).
  Form* Owner = nullptr;

  // Client size in twips, as the frame rule gives it (the whole window when borderless).
  double ScaleWidth() const;
  double ScaleHeight() const;

  std::function<void()> Load, Resize, Unload;
  // The user (or the window manager) moved the window without changing its size or
  // state: Left and Top are new, and no resize event comes.
  std::function<void()> Moved;
  // The close box was pressed: false keeps the window (its unload step does not run). Only
  // the close box asks; a window destroyed from outside, or the end of the session, does
  // not.
  std::function<bool()> QueryUnload;
  // Mouse events over the bare form: its client area where no control lies.
  MouseHandler MouseDown, MouseMove, MouseUp;
  std::function<void()> Click;
  // The window stops being the active one (another window or the desktop was activated;
  // not when it is hidden or unloaded).
  std::function<void()> LostFocus;

  // Registration, back to front: a control added later lies above earlier ones.
  void add(Control& c);
  void add(ControlArrayBase& a);

  struct Layer {
    Control* control;
    ControlArrayBase* array;
  };
  const std::vector<Layer>& layers() const { return layers_; }
  void forEachControl(const std::function<void(Control&)>& f) const;

  // The topmost visible control under a client point (twips), nullptr for the bare
  // form. Coordinates of a child are relative to its container; hidden containers
  // hide their children. Used by both desktops to route pointer events the way a real
  // window system does, so it runs on every pointer move: it walks the stacking order
  // from the top down and stops at the first hit.
  Control* hitTest(double clientX, double clientY) const;
  // The shown element of a registered control array, of index `from` or above, with the
  // highest index among those whose place holds (x, y), a point in their container's
  // twips; nullptr when none does. Whatever else lies there, and whether the containers
  // are shown, does not count. It skips the runs of siblings the hit test skips, so a
  // pointer event over a page of thousands of elements looks at the few near it.
  Control* topmostElement(const ControlArrayBase& a, int from, double x, double y) const;

  // What changed on this form (itself and its controls) since the backend last looked.
  ChangeLog& changes() { return changes_; }

  ViewSlot view;

 private:
  struct HitIndex;
  // The index brought up to date with what changed since it was last asked.
  HitIndex& hitIndex() const;
  // Mutable: the hit test, which only asks, takes from it what moved since it last asked.
  mutable ChangeLog changes_;
  std::vector<Layer> layers_;
  // The stacking order as a tree of containers, rebuilt when the structure changed.
  mutable std::unique_ptr<HitIndex> hits_;
};

// The control a mouse event at a client point (twips) goes to, and the point in that
// control's own twips (x, y): the topmost control there (Form::hitTest), and nobody
// outside the client area, over the bare form or over a disabled control (its container
// gets nothing either). Both desktops route every pointer event by this one rule.
Control* mouseTarget(const Form& f, double clientX, double clientY, double& x, double& y);
// Whether a client point (twips) is on the bare form: inside its client area, with no
// control there. Such an event goes to the form's own handlers.
bool onBareForm(const Form& f, double clientX, double clientY);
// Whether the control is (still) one of the form's: an event handler may unload the
// element that got the event.
bool stillLoaded(const Form& f, const Control* c);

// A control's position relative to the form's client area (its containers' offsets added).
void absolutePosition(const Control& c, double& left, double& top);
// Whether the control and all its containers are visible.
bool effectivelyVisible(const Control& c);
// Gives a control its place and size (twips), as a design does.
void place(Control& c, double left, double top, double width, double height);

}  // namespace kel
