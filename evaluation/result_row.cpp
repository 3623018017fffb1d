// The result row: the expression read, its value, rounding and the angle unit, and the
// typing of the value into the formula.
#include <algorithm>
#include <initializer_list>

#include "app/program.h"
#include "evaluation/reading.h"
#include "platform/steps.h"

namespace kel {

namespace {

constexpr int kTypingDelayMs = 500;

}  // namespace

void Evaluation::Timer11_Timer() {
  MainWindow& w = p.Form1;
  w.Text8.setText("");
  w.Text12.setText("");
  w.comp.setText(w.Text1.Text());
  skipOnFailure([&] { RRavno2(); });
  w.Text8.setText(w.Text12.Text());
  w.Timer11.setEnabled(false);
  // The reader checked the names it knows; a name the normaliser formed (3e2 is 3*e2) has
  // no value either, and what it gave is shown, as for x, but not typed after the sign.
  if (NameWithoutValue) w.Timer12.setEnabled(false);
  if (w.Text8.Text().empty()) {
    // Nothing to show: the row goes, Round and the angle unit with it.
    for (Control* c : std::initializer_list<Control*>{&w.Text1, &w.Text8, &w.Gradusi, &w.Check1,
                                                      &w.Shape1, &w.Command17})
      c->Visible = false;
    p.desktop.bringToFront(w);
  }
}

void Evaluation::Text8_Change() {
  MainWindow& w = p.Form1;
  if (w.Text8.Text().empty()) {
    p.desktop.bringToFront(w);
    return;
  }
  for (Control* c : std::initializer_list<Control*>{&w.Text1, &w.Text8, &w.Command17, &w.Gradusi,
                                                    &w.Check1, &w.Shape1})
    c->Visible = true;
}

// A re-evaluation that fails must not leave the value of the question before it on show,
// where "=" would type it: the result is emptied first, and the row stays, so the user can
// switch back.
void Evaluation::Check1_Click() {
  MainWindow& w = p.Form1;
  w.Text12.setText("");
  skipOnFailure([&] { RRavno2(); });
  w.Text8.setText(w.Text12.Text());
  p.BusyFlag = 0;
}

void Evaluation::Gradusi_Click() {
  MainWindow& w = p.Form1;
  w.Text12.setText("");
  skipOnFailure([&] { RRavno2(); });
  w.Text8.setText(w.Text12.Text());
  p.desktop.bringToFront(w);
}

void Evaluation::Text1_Click() { p.desktop.bringToFront(p.Form1); }

void Evaluation::Text8_Click() { p.desktop.bringToFront(p.Form1); }

void Evaluation::Timer12_Timer() {
  MainWindow& w = p.Form1;
  w.Timer12.setInterval(kTypingDelayMs);
  w.Timer12.setEnabled(false);
  // The player has waited since the sign was placed: the value goes in right behind it,
  // in front of whatever was typed meanwhile.
  typeResult(w.List1.ListIndex + 1);
}

void Evaluation::Command17_Click() {
  MainWindow& w = p.Form1;
  p.surface.ZapomniTuk2();
  p.desktop.setFocus(w, w.Command63);
  ZapisRezultatat();
  if (p.Form8Shown == 1) p.palette.ShowForm8();
  // A request that matches no row of the dispatcher: only its common steps run, the
  // pointer going back to where the user clicked among them.
  p.PendingCode = "Nisto";
  w.Timer6.setEnabled(true);
}

void Evaluation::ZapisRezultatat() { typeResult(-1); }

void Evaluation::typeResult(int position) {
  MainWindow& w = p.Form1;
  const std::string& typed = w.Text8.Text();
  if (typed.empty()) return;
  const std::string s = ResultTypingText(typed);
  // The key indicator, when shown, names no keys while the result is played: it is told
  // the range of queue items that type it. Asking loads it, hidden.
  skipOnFailure([&] {
    if (!p.palette.indicator.Visible()) return;
    const int characters = static_cast<int>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    p.QueueStartIndex = w.List1.ListIndex;
    p.QueueEndIndex = w.List1.ListIndex + characters + 1;
  });
  for (size_t i = 0; i < s.size(); ++i) {
    // One character at a time (the bytes of one that is not ASCII together): only the
    // characters of the key table are typed; every character counts towards the play
    // limit all the same.
    if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
    const std::optional<int> code = ResultKeyCode(s[i]);
    if (!code) {
      p.QueueLength += 1;
    } else if (position < 0) {
      p.input.AppendQueueItem("***" + std::to_string(*code), "0");
    } else {
      p.input.InsertQueueItem(position++, "***" + std::to_string(*code), "0");
    }
  }
}

}  // namespace kel
