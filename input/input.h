// Keyboard input and the key queue.
#pragma once

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "input/interpreter.h"
#include "platform/desktop.h"

namespace kel {

class Program;
struct CapturedKey;

class Input {
 public:
  explicit Input(Program& p);

  // --- the key queue and its player --------------------------------------------------
  // Appends one item: its code text to List1, its shift flag to List2, and one more
  // item to play (QueueLength + 1). Every writer of the queue goes through here.
  void AppendQueueItem(const std::string& code, const std::string& shift);
  // Inserts one item in front of the item at this List1 position (one more to play);
  // a position past the end appends it.
  void InsertQueueItem(int position, const std::string& code, const std::string& shift);
  // Whether the item at this List1 position was queued for a Ctrl chord (a key pressed
  // while Ctrl was held, or one an editing hotkey acted on). Asked in play order.
  bool IsCtrlChordItem(int position);
  // The player: one item per tick, handed to the interpreter of the typing layout.
  void Timer1_Timer();
  // The item at this List1 position is a change of its own: it is not played while the
  // after-placement step of the placement before it is due, so that step (its undo step
  // above all) runs first. AppendQueueItem marks each item queued at a later moment than
  // the one before it; the release check marks each key it finds after it came late.
  void QueueAsOwnStep(int position);

  // --- the interpreters --------------------------------------------------------------
  void ProcessQueuedKeyLatin();
  void ProcessQueuedKeyCyrillic();
  // The row groups the interpreters try, in order (see input/interpreter.h). Tests may
  // put a group of their own in.
  std::vector<RowGroup> rowGroups;
  // One-shot, 3 s after an Insert recorded where a fraction was begun: a later Insert
  // records its own start again.
  void timerNovaDrob_Timer();

  // --- keyboard capture ----------------------------------------------------------------
  // The poll (20 ms; one second after it saw the left Ctrl key): looks at every key code
  // but the mouse's left button, the generic Shift and Ctrl and the left Shift.
  void Timer0_Timer();
  // The poll also takes the user's presses from the desktop, in the order they happened,
  // into CapturedKeys, each with the Shift and Ctrl held at its press (a key pressed while
  // the left Alt is held is not taken: only Alt's layout code is queued); ZaForKey gives
  // one key held now its own treatment (left Ctrl, Space, the arrow keys).
  void ZaForKey(int kakvo);
  // The release check (50 ms): queues the captured keys in press order, each once it is
  // up, with its shift flag, and stops at the first one still held; the right mouse
  // button opens the paste/cut pop-up over a shown selection.
  void Timer00_Timer();
  // To be called when the poll is switched on again: presses made while it was off (the
  // pointer on a border frame or away from the window, the window minimised) are not
  // typed into the formula.
  void ForgetKeyPressesWhileOff();
  // The thread state of a key: negative while it is down, 0 or 1 (its toggle) while it is
  // up. A state that cannot be read is 0, as an empty answer compares.
  int Gore(int butona);
  // Cancels what the queue still holds before an arrow move (ends an index mode too).
  void StopIzpalnenie();
  // To be called wherever the queue loses items it has not played: StopIzpalnenie, and
  // Clear All right after it empties List1 and List2. A limits sequence whose closing
  // code (1056, 1062) will never be played would otherwise hold the capture off
  // (BoundsQueueState 1) for the rest of the run. Unless a limits dialog is still shown,
  // the hold ends as a closed dialog ends it: the key waiting is discarded at the next
  // release check and capture goes on.
  void CancelBoundsQueueHold();

  // --- typing behind a limits dialog ------------------------------------------------------
  // What was pressed up to now was typed into a limits dialog: it never reaches the
  // formula. A key still down whose press the desktop has not reported yet (the Enter that
  // submitted) is the dialog's too; its press is dropped when it comes. Run when a dialog
  // submits its limits and when it closes.
  void DropKeysTypedIntoDialog();
  // A dialog submitted its limits: until they stand on the page, keys typed wait in the
  // capture, to be played behind the sign, and a click on the page takes effect only then
  // (the limits stay where they began).
  void LimitsSubmitted();
  bool LimitsBeingPlaced() const { return limitsPlacing_; }
  // The limits stand (their closing code was played), or will never come: a click made
  // meanwhile takes effect now.
  void LimitsStand();
  // A click on the page while the limits are placed: where the pointer was (raw), and the
  // insertion point the click gives (the raw point, or the symbol edge it snapped to).
  void DeferClick(PointPx raw, PointPx point);

  // --- typing-layout switching -----------------------------------------------------------
  // The Shift watch (20 ms) and its latch Text7, dropped 250 ms after the last tick that
  // saw Shift by the one-shot Timer20.
  void Timer13_Timer();
  void Timer20_Timer();
  // The Ctrl watch (20 ms; 250 ms while Ctrl is held) and its latch Text9.
  void Timer14_Timer();
  // The change procedures of the two latches: Ctrl and Shift together queue the layout
  // code that toggles the typing layout, once per chord.
  void Text7_Change();
  void Text9_Change();
  // One-shot: sends the desktop's two input-language chords.
  void Timer19_Timer();
  // An arrow key (37 to 40) seen down by the keyboard poll: moves the insertion point.
  void za3740(int k);
  // The arrows' hold watch (50 ms while an arrow key is held): the step grows to 10 px
  // once a key has been held for more than six ticks.
  void Timer16_Timer();

  // --- clicks on the page --------------------------------------------------------------
  // The left-button sampler (50 ms) writes the button's state into TextM1; each change
  // of it runs TextM1_Change, which keeps the click history TextM2 (emptied by the
  // one-shot TimerM2, 600 ms after its first change) and acts on a single or double click.
  void TimerM1_Timer();
  void TimerM2_Timer();
  void TextM1_Change();

  // --- editing hotkeys -----------------------------------------------------------------
  // Ctrl+V, Ctrl+X or Delete, Ctrl+Z and Ctrl+R, polled every 50 ms.
  void Timer15_Timer();

  // --- the pointer zone watcher and the button-press re-read ----------------------------
  // Timer8 notes whether the pointer is right of the page or over a shown limits dialog
  // (RecordingBlocked); Timer10 re-reads the pointer at each watched press and release of
  // the left button, latched in Text5.
  void Timer8_Timer();
  void Timer10_Timer();

  // --- key and button state ----------------------------------------------------------
  // Whether either Ctrl, either Shift, or the left mouse button is held at this moment.
  bool IsCtrlDown();
  bool IsShiftDown();
  bool IsLeftButtonDown();
  // Whether Caps Lock is toggled on (whether or not the key is held).
  bool IsCapsLockOn();
  // One synthetic key-down or key-up event.
  void PressKey(int vk);
  void ReleaseKey(int vk);

  // Activates the US English keyboard layout. On X11 the program reads keys by their
  // physical place, so this only asks the desktop and never changes what is typed.
  void SwitchToUSKeyboard();

 private:
  void playQueuedKey(TypingLayout layout);
  // Takes the user's presses from the desktop into CapturedKeys.
  void captureKeyPresses();
  // An editing hotkey ran its command for this key: the key's latest press not yet queued
  // becomes a Ctrl chord, so that it is not typed as well.
  void claimHotkeyPress(int key);
  // Puts the pointer and the insertion point at the chosen edge of CurrentSymbolIndex.
  void snapToCurrentSymbol(bool buttonDown);
  void rightButtonReleased();
  // Steps of the release check for one released key: the queue item, or the pop-up.
  void queueReleasedKey(const CapturedKey& key);
  Program& p;

  // Whether the item at this position was queued as a change of its own (asked in play
  // order, as IsCtrlChordItem is).
  bool isOwnStepItem(int position);

  // The List1 positions of the items queued as changes of their own, in order.
  std::deque<int> ownStepItems_;
  // The player is playing an item: what it appends now belongs to that item.
  bool playing_ = false;
  // A poll came late since the last release check.
  bool lateSinceReleaseCheck_ = false;
  // When the last item was appended (the scheduler's time: a batch of ticks is one moment).
  Millis lastAppendAt_ = -1;
  // Between a limits dialog's Submit and its limits standing on the page.
  bool limitsPlacing_ = false;
  // The click made meanwhile, and the caret it set (a single click seen by the detector).
  struct DeferredClick {
    bool pending = false;
    PointPx raw, point;
    bool caretSet = false;
    int symbol = 0, caretAfter = 0;
  } deferredClick_;
  // Keys down when a dialog stopped taking keys whose press is still to come.
  std::array<bool, 256> dialogPressesToCome_{};
};

// The text form of a truth value, as the latches and histories compare it.
inline const char* truthText(bool b) { return b ? "True" : "False"; }

}  // namespace kel
