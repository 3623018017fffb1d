// What the program asks of the desktop, named after what it does.
//
// One interface, two implementations: platform/sim (headless, virtual time, scripted
// answers, everything recorded) and platform/qt (the real X11 desktop). The logic
// calls nothing else of the outside world but this and Files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms.h"

namespace kel {

struct PointPx {
  int x = 0;
  int y = 0;
  bool operator==(const PointPx&) const = default;
};

struct SizeTw {
  double width = 0;
  double height = 0;
};

struct RectPx {
  int left = 0, top = 0, width = 0, height = 0;
};

// A captured screen area, 0x00RRGGBB pixels row by row.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// Virtual-key codes the program names (the rest are the usual Windows codes).
namespace vk {
inline constexpr int LButton = 1, RButton = 2, MButton = 4;
inline constexpr int Back = 8, Tab = 9, Return = 13;
inline constexpr int Shift = 16, Control = 17, Menu = 18, Capital = 20, Escape = 27;
inline constexpr int Space = 32, Prior = 33, Next = 34, End = 35, Home = 36;
inline constexpr int Left = 37, Up = 38, Right = 39, Down = 40;
inline constexpr int Insert = 45, Delete = 46;
inline constexpr int F1 = 112, F2 = 113, F4 = 115, F8 = 119, F9 = 120, F10 = 121, F12 = 123;
inline constexpr int LShift = 160, RShift = 161, LControl = 162, RControl = 163;
inline constexpr int LMenu = 164, RMenu = 165;
}  // namespace vk

// One press of a key or a mouse button by the user (a virtual-key code, 1 to 255), and
// what was held at that moment: either Shift key, either Ctrl key, the left Alt key.
struct KeyPress {
  int vk = 0;
  bool shift = false;
  bool ctrl = false;
  bool leftAlt = false;
  bool operator==(const KeyPress&) const = default;
};

// Who takes the user's presses. Each reader has a list of its own, so a press one of them
// has taken is still there for the other: the keyboard capture types what was pressed, the
// editing hotkeys act on the chords, and neither can take a short tap from the other.
enum class KeyReader { Capture, Hotkeys };
inline constexpr int kKeyReaders = 2;

// How many presses a desktop keeps for takeKeyPresses(): far more than any keyboard or
// typing tool sends between two looks. Once that many wait, later presses are dropped and
// the oldest kept.
inline constexpr std::size_t kMaxKeyPresses = 4096;

// Mouse-event flags of the classic synthetic mouse event.
namespace mouseflag {
inline constexpr int LeftDown = 2, LeftUp = 4, RightDown = 8, RightUp = 16;
}

// Message-box buttons and answers, as the classic message box numbers them. An icon is
// added to the buttons (YesNo | Question); kButtons picks the buttons out again.
namespace msgbox {
inline constexpr int OkOnly = 0, OkCancel = 1, YesNoCancel = 3, YesNo = 4;
inline constexpr int Critical = 16, Question = 32, Exclamation = 48, Information = 64;
inline constexpr int kButtons = 7, kIcon = 0x70;
inline constexpr int Ok = 1, Cancel = 2, Yes = 6, No = 7;
}  // namespace msgbox

// A box whose buttons bear the program's own captions, for a question the classic answers
// do not fit.
struct ChoiceRequest {
  std::string title;
  std::string prompt;
  int icon = 0;                      // a msgbox icon (Question, Information ...), or 0
  std::vector<std::string> buttons;  // the captions, in order
  int defaultButton = 0;             // the one Return presses
  // The one Escape and the window's close button press, and the answer of a box nobody
  // can answer (the run ends while it is open, the display is lost).
  int escapeButton = 0;
  bool operator==(const ChoiceRequest&) const = default;
};

enum class FileDialogKind { Open, Save };

// What an Open or Save dialog is asked to show.
struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  std::string title;              // empty: the desktop's own title
  std::string folder;             // the folder it opens in; empty: the user's home folder
  std::string fileName;           // the name it proposes
  std::string filter;             // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*", may be empty
  int filterIndex = 1;            // the entry selected at first, counted from 1
  std::string defaultExt;         // added to a name typed without one ("txt"), may be empty
  bool confirmOverwrite = false;  // Save: ask before an existing file is replaced
  bool mustExist = false;         // Open: only a file that exists can be chosen
  bool operator==(const FileDialogRequest&) const = default;
};

// What the user chose.
struct FileDialogChoice {
  std::string path;     // the whole path
  int filterIndex = 1;  // the filter entry selected when the choice was made, from 1
  bool operator==(const FileDialogChoice&) const = default;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  // --- pointer ---------------------------------------------------------------------
  virtual PointPx cursorPos() = 0;
  virtual void setCursorPos(int x, int y) = 0;
  // Moves the pointer only while it still stands where the caller expects it, as one step
  // that no motion of the user can fall between; answers whether it moved it.
  virtual bool setCursorPosIfAt(PointPx expected, int x, int y) {
    if (cursorPos() != expected) return false;
    setCursorPos(x, y);
    return true;
  }

  // --- keys and buttons --------------------------------------------------------------
  // The asynchronous state of a virtual key: bit 15 set while it is down, bit 0 set
  // when it was pressed since the previous query of that key (a tap shorter than a
  // poll still counts once). 16/17/18 answer for either Shift/Ctrl/Alt.
  virtual std::uint16_t asyncKeyState(int vk) = 0;
  // The thread key state: negative while the key is down, bit 0 its toggle state.
  virtual std::int16_t keyState(int vk) = 0;
  // One synthetic key event; the program's own injections never count as typing.
  virtual void keyEvent(int vk, bool up) = 0;
  // The user's presses of keys and mouse buttons since the previous call, oldest first,
  // in the order they happened. A press is the key going down: a held key's auto-repeats
  // are not presses, and neither is anything the program injected itself (keyEvent,
  // mouseEvent). At most kMaxKeyPresses are kept between two calls, the oldest. Each
  // reader takes from its own list.
  virtual std::vector<KeyPress> takeKeyPresses(KeyReader reader = KeyReader::Capture) = 0;
  // One synthetic mouse event (mouseflag values) at a screen point.
  virtual void mouseEvent(int flags, int x, int y) = 0;
  // Activates a keyboard layout by its classic identifier ("00000409" US English).
  virtual bool activateKeyboardLayout(const std::string& id) = 0;

  // --- windows -----------------------------------------------------------------------
  // Shows, hides and unloads a form's window (the model's Visible/Loaded follow).
  virtual void showForm(Form& f) = 0;
  virtual void hideForm(Form& f) = 0;
  virtual void unloadForm(Form& f) = 0;
  // Above every window that is not topmost, position and size kept.
  virtual void makeTopmost(Form& f) = 0;
  // Every pixel of exactly this colour becomes see-through; other styles dropped.
  virtual void setColourKey(Form& f, Colour key) = 0;
  // Foreground and top of the window order.
  virtual void bringToFront(Form& f) = 0;
  // Brings to the front the top-level window of this title that another process (pid)
  // shows: a second start raises the run it leaves the folder to. Nothing when there is
  // none.
  virtual void raiseWindowOfProcess(long pid, const std::string& title) = 0;
  // The keyboard focus to a control (a hidden one only parks the focus).
  virtual void setFocus(Form& f, Control& c) = 0;
  virtual SizeTw screenSize() = 0;  // twips

  // --- capture and clipboard -----------------------------------------------------------
  // The screen's pixels in a rectangle; an empty bitmap (0 x 0) when nothing could be
  // captured.
  virtual Bitmap captureScreen(const RectPx& r) = 0;
  virtual void clipboardClear() = 0;
  virtual void clipboardSetPicture(const Bitmap& b) = 0;

  // --- dialogs -----------------------------------------------------------------------
  // Modal; buttons is a msgbox value, optionally with an icon added. The answer is a
  // msgbox answer.
  virtual int messageBox(const std::string& prompt, int buttons, const std::string& title) = 0;
  // Modal; the index of the button chosen (escapeButton when nobody chose one).
  virtual int choiceBox(const ChoiceRequest& request) = 0;
  // The modal Open or Save dialog; nothing when the user cancelled it.
  virtual std::optional<FileDialogChoice> fileDialog(const FileDialogRequest& request) = 0;

  // --- text and pictures ---------------------------------------------------------------
  // The size, in twips, a label auto-sized to this caption in this font takes.
  virtual SizeTw measureLabel(const Font& font, const std::string& caption) = 0;
  // The height of such a label, which is one line of the font whatever the caption: what
  // measureLabel gives as the height, without measuring a caption.
  virtual double labelHeight(const Font& font) = 0;
  // Reads a picture file; nothing when it is missing or not a picture.
  virtual std::optional<Picture> loadPicture(const std::string& path) = 0;
};

// What a caption shows, as the classic labels draw it: "&&" is one "&", and a single "&"
// only marks the access key that follows it, so it shows nothing (and the key is drawn
// plain). Both desktops draw and measure captions by this rule.
std::string shownCaption(const std::string& caption);

// --- explicit effects of property sets ------------------------------------------------

// Sizes an auto-sizing label to its caption.
void autoSize(Desktop& d, Label& l);

// Gives an image a picture the way a design-time assignment does: unless the image
// stretches, it takes the picture's size (no picture leaves the size as it is).
void showPicture(Image& img, const Picture& pic);
// Loads a picture file into an image, as showPicture gives it. False (and the image
// unchanged) when the file is not a picture.
bool loadPictureInto(Desktop& d, Image& img, const std::string& path);

}  // namespace kel
