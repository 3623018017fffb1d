// The key queue and its player.
#include <deque>
#include <exception>

#include "app/program.h"

namespace kel {

namespace {

constexpr int kPlayIntervalMs = 20;
constexpr int kPacedIntervalMs = 150;
constexpr const char* kPacedItemMarker = "***";

}  // namespace

void Input::AppendQueueItem(const std::string& code, const std::string& shift) {
  MainWindow& w = p.Form1;
  // Chord marks beyond the end were left by items emptied from the lists.
  for (std::deque<int>* marks : {&p.CtrlChordItems, &ownStepItems_})
    while (!marks->empty() && marks->back() >= w.List1.ListCount()) marks->pop_back();
  w.List1.AddItem(code);
  w.List2.AddItem(shift);
  p.QueueLength += 1;
  // Queued at a later moment than the item before it: a change of its own. On time the
  // step of a placement runs before anything queued later is played; a late tick (a loaded
  // machine) could bring the two together, and one Undo would then take back two of the
  // user's changes. What the player appends while it plays belongs to the item it plays.
  const Millis now = p.scheduler.now();
  if (!playing_ && now > lastAppendAt_) QueueAsOwnStep(w.List1.ListCount() - 1);
  lastAppendAt_ = now;
}

void Input::QueueAsOwnStep(int position) {
  if (ownStepItems_.empty() || ownStepItems_.back() < position) ownStepItems_.push_back(position);
}

bool Input::isOwnStepItem(int position) {
  while (!ownStepItems_.empty() && ownStepItems_.front() < position) ownStepItems_.pop_front();
  return !ownStepItems_.empty() && ownStepItems_.front() == position;
}

void Input::InsertQueueItem(int position, const std::string& code, const std::string& shift) {
  MainWindow& w = p.Form1;
  if (position < 0 || position >= w.List1.ListCount() || position >= w.List2.ListCount()) {
    AppendQueueItem(code, shift);
    return;
  }
  auto& codes = w.List1.Items.edit();
  auto& shifts = w.List2.Items.edit();
  codes.insert(codes.begin() + position, code);
  shifts.insert(shifts.begin() + position, shift);
  // The chord marks of the items it goes in front of move along with them.
  for (std::deque<int>* marks : {&p.CtrlChordItems, &ownStepItems_})
    for (int& at : *marks)
      if (at >= position) at += 1;
  p.QueueLength += 1;
}

bool Input::IsCtrlChordItem(int position) {
  // Played in order: the marks of items behind the play position are done with.
  std::deque<int>& chords = p.CtrlChordItems;
  while (!chords.empty() && chords.front() < position) chords.pop_front();
  return !chords.empty() && chords.front() == position;
}

void Input::Timer1_Timer() {
  MainWindow& w = p.Form1;
  if (p.BoundsQueueState == 1) p.evaluation.EndStaleBoundsHold();
  if (!(p.QueueLength > w.List1.ListIndex && p.BusyFlag == 0)) return;
  // The value of a " = " is typed right behind its sign: what was queued after the sign
  // waits until the value stands in front of it.
  if (w.Timer12.Enabled()) return;
  // The play limit may run ahead of the lists (the dispatcher counts runs that append
  // nothing): without an entry at the next place in both lists there is nothing to play
  // and nothing moves.
  const int next = w.List1.ListIndex + 1;
  if (next < 0 || next >= w.List1.ListCount() || next >= w.List2.ListCount()) return;
  // A change of its own waits while the step of the placement before it is due: that step
  // ticks right after this one, at the same moment, and the item is played at the next
  // tick. On time nothing waits here; a step held back by a late tick no longer lets the
  // next change in first.
  if (isOwnStepItem(next) && w.Timer4.Enabled() && w.Timer4.due() <= p.scheduler.now()) return;
  w.List1.ListIndex = next;
  w.List2.ListIndex = next;
  // From here the item counts as played: a failure ends this tick only, and the next
  // tick goes on with the next item.
  try {
    const bool paced = w.List1.Text().compare(0, 3, kPacedItemMarker) == 0;
    w.Timer1.setInterval(paced ? kPacedIntervalMs : kPlayIntervalMs);
    // --- the key indicator: asking loads it; shown, it names the item under the pointer ---
    if (p.palette.indicator.Visible()) {
      KeyIndicatorForm& k = p.Form3;
      p.palette.indicator.PlaceUnderPointer();
      k.Text1.setText(w.List1.Text());
      k.Text2.setText(w.List2.Text());
      k.Picture2.Picture = w.Picture2.Picture;
      p.palette.indicator.ZapisNaznachen2();
    }
    // --- end of the key indicator's block ---------------------------------------------
    playing_ = true;
    if (p.LatinLayout == 1)
      ProcessQueuedKeyLatin();
    else
      ProcessQueuedKeyCyrillic();
  } catch (const std::exception&) {
  }
  playing_ = false;
}

}  // namespace kel
