#include "evaluation/limits_dialogs.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

#include "app/program.h"
#include "evaluation/char_key_code.h"
#include "platform/steps.h"
#include "platform/units.h"

namespace kel {

namespace {

// The codes of a limits sequence: where the upper limit starts, where the lower one
// starts, and behind the sign (the end of the sequence).
struct LimitCodes {
  const char* upper;
  const char* lower;
  const char* end;
  long long sign;  // the symbol the dispatcher is asked for
};
constexpr LimitCodes kIntegralCodes = {"1054", "1055", "1056", 1050};
constexpr LimitCodes kSumCodes = {"1060", "1061", "1062", 1032};

constexpr const char* kUpperIndexItem = "***27";  // Esc: the character goes up, small
constexpr const char* kPacedMarker = "***";
constexpr const char* kPointerDropPrefix = "`";
constexpr const char* kSlashKey = "191";

constexpr const char* kNoUpperLimit = "There is no upper limit";
constexpr const char* kNoLowerLimit = "There is no lower limit";

constexpr long long kCloseRequest = 100000;  // the dispatcher's common steps only
constexpr int kEnter = 13;

// How far left of the sign a limit starts: 4 px per character.
constexpr int kShiftPerCharacterPx = 4;

// The characters of a UTF-8 text, one string each; a byte that starts no character of
// its own (a broken sequence) counts as one.
std::vector<std::string> characters(const std::string& s) {
  std::vector<std::string> out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    n = std::min(n, s.size() - i);
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) n = k;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

std::string replaceAll(std::string s, const std::string& what, const std::string& with) {
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size()))
    s.replace(at, what.size(), with);
  return s;
}

// The characters of a limit that are typed: those the key table has a key for. A limit is
// shifted left by these alone, so the ones dropped (a blank, a Cyrillic letter) leave no
// gap in front of it.
size_t typedCharacters(const std::string& limit) {
  size_t n = 0;
  for (const std::string& c : characters(limit))
    if (!CharToKeyCode(c).empty()) ++n;
  return n;
}

int shiftFor(size_t characterCount) {
  const long long n = static_cast<long long>(std::min<size_t>(characterCount, 1u << 24));
  return static_cast<int>(-kShiftPerCharacterPx * n);
}

LimitsDialogForm& formOf(Program& p, int dialog) { return dialog == 2 ? p.Form5 : p.Form4; }

bool shown(const LimitsDialogForm& f) { return f.Loaded && f.Visible; }

}  // namespace

// --- the window -------------------------------------------------------------------------

LimitsDialogForm::LimitsDialogForm(LimitsKind k)
    : Form(k == LimitsKind::Integral ? "Form4" : "Form5"), kind(k) {
  const bool integral = kind == LimitsKind::Integral;
  Caption = integral ? "Definite integral" : "Sum";
  Width = (integral ? 2385 : 2310) + kFrameExtraWidthTw;
  Height = (integral ? 2325 : 2190) + kFrameExtraHeightTw;
  BackColor = kWhite;
  Sizable = false;

  place(Image1, 360, 840, integral ? 420 : 495, integral ? 555 : 585);
  Image1.Stretch = true;
  place(Text1, 120, 480, 855, 405);
  place(Text2, 120, 1440, 855, 375);
  for (TextBox* t : {&Text1, &Text2}) t->Font = Font{"Arial", 12, false, 204};
  place(Command1, 1080, 960, 975, 375);
  Command1.Caption = "Submit";
  place(Label1, 120, 1920, 2175, 255);
  Label1.BackColor = kWhite;
  Label1.ForeColor = kRed;
  // Outside the client area, and hidden.
  place(List1, 3000, 0, 1215, 255);
  place(List2, 3000, 300, 1215, 255);

  // Back to front: the boxes lie above the sign where they meet.
  add(Image1);
  add(Text1);
  add(Text2);
  add(Command1);
  add(Label1);
  add(List1);
  add(List2);
  ResetToDesign();
}

void LimitsDialogForm::ResetToDesign() {
  Text1.setText("");
  Text2.setText("");
  Label1.Caption = "";
  Label1.Visible = false;
  List1.Clear();
  List2.Clear();
  List1.Visible = false;
  List2.Visible = false;
}

// --- the procedures ---------------------------------------------------------------------

LimitsDialog::LimitsDialog(Program& p, LimitsDialogForm& f) : p(p), f(f) {}

void LimitsDialog::Load() {
  if (f.Loaded) return;
  f.ResetToDesign();
  f.Loaded = true;
  Form_Load();
}

void LimitsDialog::Form_Load() {
  p.app.MakeTopmost(f);
  // The sign's picture is the dialog's design picture.
  skipOnFailure([&] {
    if (const std::optional<std::string> file =
            p.surface.PictureFile(integral() ? "granint" : "gransum"))
      loadPictureInto(p.desktop, f.Image1, *file);
  });
}

bool LimitsDialog::Visible() {
  Load();
  return f.Visible;
}

void LimitsDialog::Show() {
  Load();
  const SizeTw screen = p.desktop.screenSize();
  f.Left = std::max(0.0, (screen.width - f.Width) / 2);
  f.Top = std::max(0.0, (screen.height - f.Height) / 2);
  p.desktop.showForm(f);
  p.desktop.bringToFront(f);
  p.desktop.setFocus(f, f.Command1);
}

void LimitsDialog::Unload() {
  if (!f.Loaded) return;
  skipOnFailure([&] { Form_Unload(); });
  p.desktop.unloadForm(f);
}

void LimitsDialog::Form_Unload() {
  p.input.DropKeysTypedIntoDialog();
  p.PendingCode = kCloseRequest;
  p.Form1.Timer6.setEnabled(true);
  p.BusyFlag = 0;
  p.evaluation.EndBoundsHold(&f);
  // The next binding of F8 reopens this dialog.
  p.HotkeyAssignAction = integral() ? 1 : 2;
}

void LimitsDialog::Command1_Click() {
  p.BoundsDialog = integral() ? 1 : 2;
  p.RecordingBlocked = 1;
  f.List1.Clear();
  f.List2.Clear();
  if (!f.Text1.Text().empty() && !f.Text2.Text().empty()) {
    Prerabotka();
    p.input.LimitsSubmitted();
    p.desktop.hideForm(f);
    p.PointerX = p.BoundsAnchorX;
    p.PointerY = p.BoundsAnchorY;
    p.PendingCode = (integral() ? kIntegralCodes : kSumCodes).sign;
    p.Form1.Timer6.setEnabled(true);
    return;
  }
  // With both empty, the lower limit's message is the one left, with the focus.
  if (f.Text1.Text().empty()) reportMissing(f.Text1, kNoUpperLimit);
  if (f.Text2.Text().empty()) reportMissing(f.Text2, kNoLowerLimit);
}

void LimitsDialog::reportMissing(TextBox& box, const char* message) {
  p.desktop.setFocus(f, box);
  f.Label1.Caption = message;
  f.Label1.Visible = true;
}

void LimitsDialog::Text1_KeyDown(int keyCode, int) {
  if (keyCode == kEnter) enterPressed();
}

void LimitsDialog::Text2_KeyDown(int keyCode, int) {
  if (keyCode == kEnter) enterPressed();
}

void LimitsDialog::Command1_KeyDown(int keyCode, int) {
  // Enter on the focused button presses it, as Space does.
  if (keyCode == kEnter) Command1_Click();
}

void LimitsDialog::enterPressed() {
  if (!f.Text1.Text().empty() && !f.Text2.Text().empty()) Command1_Click();
  if (f.Text1.Text().empty() && f.Text2.Text().empty()) Command1_Click();
  // One limit missing: its message, without what Submit does first.
  const bool noUpper = f.Text1.Text().empty(), noLower = f.Text2.Text().empty();
  if (noUpper != noLower)
    reportMissing(noUpper ? f.Text1 : f.Text2, noUpper ? kNoUpperLimit : kNoLowerLimit);
}

void LimitsDialog::Text1_Change() { f.Label1.Visible = false; }

void LimitsDialog::Text2_Change() { f.Label1.Visible = false; }

void LimitsDialog::addItem(const std::string& code, const std::string& shift) {
  f.List1.AddItem(code);
  f.List2.AddItem(shift);
}

void LimitsDialog::Prerabotka() {
  const LimitCodes& codes = integral() ? kIntegralCodes : kSumCodes;
  // "pi" is one character, typed as the symbol pi.
  const std::string upper = replaceAll(f.Text1.Text(), "pi", "@");
  const std::string lower = replaceAll(f.Text2.Text(), "pi", "@");
  const size_t n = characters(upper).size();
  if (n > 0) {
    p.UpperBoundShiftX = shiftFor(typedCharacters(upper));
    addItem(codes.upper, "0");
    addLimitCharacters(upper, false);
  }
  const size_t m = characters(lower).size();
  if (m > 0) {
    p.LowerBoundShiftX = shiftFor(typedCharacters(lower));
    addItem(codes.lower, "0");
    p.QueueLength += 1;
    addLimitCharacters(lower, true);
  }
  addItem(codes.end, "0");
}

// Each character typed small, as an upper index: Esc, then its key, both paced. In the
// integral dialog the first number key of a limit drops the pointer 7 px first, unless a
// "/" key came before it or, in the lower limit, the limit begins with a number key.
void LimitsDialog::addLimitCharacters(const std::string& limit, bool lower) {
  const std::vector<std::string> chars = characters(limit);
  int flag = 0;
  for (size_t i = 0; i < chars.size(); ++i) {
    const std::string c = CharToKeyCode(chars[i]);
    if (c.empty()) continue;
    const std::string shift = c.substr(c.size() - 1);
    const std::string key = c.substr(0, c.size() - 1);
    const std::optional<long long> k = toWholeNumber(key);
    const bool numberKey = (k && *k >= 48 && *k <= 57) || chars[i] == "-";
    std::string prefix;
    if (integral()) {
      if (key == kSlashKey) flag = 1;
      if (lower && i == 0 && numberKey) flag = 1;
      if (flag == 0 && numberKey) {
        prefix = kPointerDropPrefix;
        flag = 1;
      }
    }
    addItem(kUpperIndexItem, "0");
    addItem(kPacedMarker + prefix + key, shift);
  }
}

void LimitsDialog::Granici() {
  const int n = f.List1.ListCount();
  for (int i = 1; i <= n; ++i) {
    f.List1.ListIndex = i - 1;
    f.List2.ListIndex = i - 1;
    p.input.AppendQueueItem(f.List1.Text(), f.List2.Text());
  }
  p.BoundsDialog = 0;
}

void WireLimitsDialogs(Program& p) {
  for (LimitsDialogForm* f : {&p.Form4, &p.Form5}) {
    LimitsDialogForm& form = *f;
    // The reason the keyboard waits stays in sight: a click on the page or on the other
    // dialog's button never sends an open dialog behind the main window.
    form.Owner = &p.Form1;
    Program* prog = &p;
    auto dialog = [prog, &form] { return LimitsDialog(*prog, form); };
    form.Unload = [dialog] { dialog().Form_Unload(); };
    form.Command1.Click = [dialog] { dialog().Command1_Click(); };
    form.Text1.KeyDown = [dialog](int k, int s) { dialog().Text1_KeyDown(k, s); };
    form.Text2.KeyDown = [dialog](int k, int s) { dialog().Text2_KeyDown(k, s); };
    form.Command1.KeyDown = [dialog](int k, int s) { dialog().Command1_KeyDown(k, s); };
    form.Text1.Change = [dialog] { dialog().Text1_Change(); };
    form.Text2.Change = [dialog] { dialog().Text2_Change(); };
  }
}

// --- what the rest of the program asks of the dialogs -----------------------------------

bool Evaluation::Form4Visible() { return LimitsDialog(p, p.Form4).Visible(); }

bool Evaluation::Form5Visible() { return LimitsDialog(p, p.Form5).Visible(); }

FormRectTw Evaluation::Form4Rect() {
  LimitsDialog(p, p.Form4).Load();
  return {p.Form4.Left, p.Form4.Top, p.Form4.Width, p.Form4.Height};
}

FormRectTw Evaluation::Form5Rect() {
  LimitsDialog(p, p.Form5).Load();
  return {p.Form5.Left, p.Form5.Top, p.Form5.Width, p.Form5.Height};
}

void Evaluation::Command58_Click() { openLimitsDialogFromPalette(1); }

void Evaluation::Command59_Click() { openLimitsDialogFromPalette(2); }

void Evaluation::openLimitsDialogFromPalette(int dialog) {
  p.surface.ZapomniTuk2();
  p.BusyFlag = 1;
  p.BoundsQueueState = 1;
  p.BoundsAnchorX = p.PointerX;
  p.BoundsAnchorY = p.PointerY;
  ShowLimitsDialog(dialog);
}

void Evaluation::ShowLimitsDialog(int dialog) {
  if (dialog != 1 && dialog != 2) return;
  LimitsDialog(p, formOf(p, dialog)).Show();
}

void Evaluation::Granici(int dialog) {
  if (dialog != 1 && dialog != 2) return;
  LimitsDialog d(p, formOf(p, dialog));
  d.Load();
  d.Granici();
}

void Evaluation::UnloadLimitsDialogs() {
  LimitsDialog(p, p.Form4).Unload();
  LimitsDialog(p, p.Form5).Unload();
}

void Evaluation::EndBoundsHold(const Form* closing) {
  for (const LimitsDialogForm* f : {&p.Form4, &p.Form5})
    if (f != closing && shown(*f)) return;
  p.BoundsQueueState = 2;
}

void Evaluation::EndStaleBoundsHold() {
  if (p.BoundsQueueState != 1) return;
  const MainWindow& w = p.Form1;
  // Still to come: a dialog's limits, its sign's dispatch, the step after a placement.
  if (shown(p.Form4) || shown(p.Form5)) return;
  if (w.Timer6.Enabled() || w.Timer4.Enabled()) return;
  if (p.BusyFlag != 0) {
    // Nothing is open that holds the queue: let it play what it holds.
    p.BusyFlag = 0;
    return;
  }
  const int next = w.List1.ListIndex + 1;
  const bool more = p.QueueLength > w.List1.ListIndex && next >= 0 && next < w.List1.ListCount();
  if (more) return;
  // The queue is played out and the closing code never came (the sign was not placed):
  // nothing will end the hold, so it ends here, and the limits that waited for the sign go,
  // with what was typed to follow them.
  p.BoundsDialog = 0;
  p.CapturedKeys.clear();
  p.BoundsQueueState = 2;
  if (p.input.LimitsBeingPlaced()) p.input.LimitsStand();
}

}  // namespace kel
