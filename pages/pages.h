// Editing, undo and the pages: the selection rectangle, the editing operations and the
// paste/cut pop-up, the undo history, the twelve page slots, clearing all pages and the page
// files.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/shared_state.h"
#include "pages/open_save.h"
#include "pages/page_file.h"
#include "pages/page_file_load.h"
#include "pages/recovery_writer.h"
#include "pages/undo_history.h"
#include "platform/forms.h"

namespace kel {

class Program;
struct SelectionWindow;
struct PasteCutPopup;

class Pages {
 public:
  explicit Pages(Program& p) : p(p) {}

  // --- the selection rectangle ------------------------------------------------------------
  // The drag watcher (50 ms, one of the background group): a press on the page takes the
  // anchor, a move of more than 10 px shows the selection window there, the release reads
  // the dragged rectangle and unloads the window.
  void Timer22_Timer();
  // The sizing timer (50 ms while a drag is on): sizes the selection window to the pointer.
  void Timer18_Timer();
  // The selection window, loaded (hidden, its load step run) when it is not: whatever
  // refers to the window loads it.
  SelectionWindow& LoadedForm2();
  void Form2_Load();
  void Form2_Resize();
  // Sizes the window (twips); a negative size is not applied. Every change of size runs
  // its resize step.
  void SetForm2Width(double width);
  void SetForm2Height(double height);
  // Unloads the selection rectangle window; nothing when it is not loaded.
  void UnloadForm2();
  // The drag state: 0 idle, 1 the left button is down and the anchor taken, 2 dragging
  // with the window shown. The anchor is the pointer at the press (pixels, and twips).
  int DragState = 0;
  long DragAnchorX = 0, DragAnchorY = 0;
  double DragAnchorTwipsX = 0, DragAnchorTwipsY = 0;
  // ---------------------------------------------------------------------------------------
  // --- editing: the paste/cut pop-up ---------------------------------------------------
  // The pop-up, loaded (hidden, its load step run) when it is not: whatever refers to the
  // window loads it, its icon included.
  PasteCutPopup& LoadedForm7();
  // Its unload step run, then unloaded; nothing when it is not loaded. Safe inside the
  // pop-up's own handlers.
  void UnloadForm7();
  // Loads the pop-up, puts its top-left corner at (leftTw, topTw) on the screen and shows it
  // without waiting for it.
  void ShowForm7At(double leftTw, double topTw);
  // The pop-up's window icon, which the page also takes as its mouse pointer.
  Picture Form7Icon();
  // Whether the pointer is over the shown pop-up: it lies over the page, and a press on its
  // buttons is no press on the page (nothing loads it).
  bool PointerOverForm7();
  // The pop-up's event procedures.
  void Form7_Form_Load();
  void Form7_Command1_MouseDown(int button, int shift, double x, double y);
  void Form7_Command1_Click();
  void Form7_Command2_MouseDown(int button, int shift, double x, double y);
  void Form7_Command2_Click();
  void Form7_Form_MouseMove(int button, int shift, double x, double y);
  void Form7_Form_LostFocus();
  void Form7_Timer2_Timer();
  void Form7_Form_Unload();

  // --- editing: Backspace, delete and cut, the move step, paste ---------------------------
  // Backspace (the interpreters hand over the key): hides the symbol before the caret and
  // puts the insertion point in its place; at the end of the text it is an undo.
  void IztrBackSpace();
  // Delete or cut the selection (Delete, Ctrl+X, the pop-up's Cut): its symbols go above
  // the page, and the first record keeps where its symbol went.
  void DelSelektirano();
  // One step of moving the selection (MoveDirX, MoveDirY, MoveTickCount), no snapshot.
  void PremestiSelPoXYZ();
  // Paste (F4, Ctrl+V): copies of the selection at the insertion point.
  void Prepihi();
  // The move buttons on Frame7: pressed, let go, the repeat tick, the bare panel.
  void MoveButton_MouseDown(int dirX, int dirY);
  void MoveButton_MouseUp(bool horizontal);
  void Timer29_Timer();
  void Frame7_MouseMove(int button, int shift, double x, double y);
  // The pictures of the move buttons and of the toolbar's picture buttons, from Simbol/.
  void LoadButtonPictures();
  // The events of the move buttons and of the pop-up.
  void WireEditingEvents();
  // The direction of the held move button (-1, 0, +1 each) and the repeat ticks since
  // the hold began.
  int MoveDirX = 0, MoveDirY = 0, MoveTickCount = 0;
  // Undo counts its runs, for the tests of the hotkey poll.
  int command69Runs = 0;
  // --- end of the editing block -----------------------------------------------------------

  // --- pages: wiring ----------------------------------------------------------------------
  // The events of the controls this area owns.
  void WireEvents();

  // --- the undo history -------------------------------------------------------------------
  // Takes a snapshot of the page shown (after a placement, Backspace, delete and paste).
  void SaveUndoSnapshot();
  // Undo and Redo, and the presses on their buttons (a press with the mouse makes the Undo
  // end with the pointer return).
  void Command69_Click();
  void Command70_Click();
  void Command69_MouseDown(int button, int shift, double x, double y);
  void Command70_MouseDown(int button, int shift, double x, double y);
  // Every symbol on the page moves above it, by the page's height; no fraction stays open
  // on the bare page.
  void VsichoGore();
  // Puts the page of snapshot UndoIndex back.
  void Prezapis();
  // Forgets every snapshot: Undo and Redo do nothing until the next one (a page switch,
  // clearing all pages).
  void EmptyUndoHistory();
  // Empties the history of a page just entered: undoing the changes made on it from now on
  // gives it back as it is now, not an empty page.
  void StartUndoHistoryHere();
  // The highest snapshot Redo may reach; 1 after a press on Undo with the mouse.
  int UndoTop = 0;
  int UndoByMouse = 0;
  UndoHistory& undoHistory() { return history_; }

  // --- the page slots ---------------------------------------------------------------------
  // Switches to page Index + 1 (0 to 11): the page left goes into its slot, the page entered
  // comes back from its slot.
  void Command72_Click(int Index);
  void Command72_MouseDown(int Index, int button, int shift, double x, double y);
  void Command72_MouseUp(int Index, int button, int shift, double x, double y);
  // Puts back the symbols of page Koia + 1 (0 to 11).
  void PrezapisStranica(int Koia);
  void Text26_Change();
  // The number of the page shown (1 to 12), as Text26 holds it.
  int PageShown() const;
  // The page number a reading keeps with its selection.
  std::string CurrentPageText() const;
  // What a page's slot holds while another page is shown: its symbols' places and the
  // pointer and index modes at the moment it was left.
  struct SlotEntry {
    std::int32_t index;
    bool text;
    double left, top;
  };
  struct PageSlot {
    std::vector<SlotEntry> entries;
    double PointerX = 0, PointerY = 0;
    int LowerIndexMode = 0, UpperIndexMode = 0;
    // A fraction still open when its page was left: its bar stays on that page, and the
    // fraction is taken up again, as it was, when the page is entered.
    std::optional<FractionState> fraction;
  };
  std::array<PageSlot, kPages> PageSlots;

  // --- clearing all pages -----------------------------------------------------------------
  void Label11_Click();
  void Label11_MouseDown(int button, int shift, double x, double y);

  // --- the page files ---------------------------------------------------------------------
  // Saving: the save button, the walk over the twelve pages (one a tick), the dialog and
  // the file.
  void Command15_Click();
  void Command73_Click();
  void ZapisNaVsichko();
  void Timer31_Timer();
  // Loading: the open button, the dialog, the file read and checked whole, the
  // confirmation of the text read, and the pages placed one a second (PageFileLoad).
  void Command16_Click();
  void Command75_Click(const std::string& loadedText);
  void ZarediOtFile();
  void Timer30_Timer();
  // The rest of a page too large to be placed in one go, a share a tick.
  void TimerPlaceStep_Timer();
  // Places one record of a page file at its place, as loading does (PlacingFromFile is 1
  // around the placement only, whatever happens in it).
  void PlaceFileRecord(const PageFileRecord& record);
  // Checks a page file's bytes as loading does and places the records of one page (1 to 12)
  // on the page shown; false, and nothing placed, when they are no page file.
  bool PlacePageOfFile(const std::string& bytes, int page);
  // The page-file buffer (a hidden text box in the design): the text of the last save.
  std::string Text2;
  int PageSaveIndex = 0;
  int SaveReturnPage = 1;
  // The one Open/Save dialog of the main window, made on first use.
  clsOpenSave& FileDialog();

  // --- the pages not lost -------------------------------------------------------------------
  // The records a save would write for one page (1 to 12), taken from the page shown and
  // the other pages' slots; nothing is switched or moved.
  std::string PageRecordsText(int page);
  // What a page will hold once a load under way is done: its records and those still to
  // be placed on it (those alone on a page the load has not reached yet); for all twelve,
  // what the recovery file keeps.
  std::string PageRecordsToKeep(int page);
  std::string AllPagesText();
  // Whether a page will differ from what it was when the pages were last saved, or when it
  // was last loaded from a file (at start-up every page is empty).
  bool PagesChanged();
  // The close box's Yes: saves, and the program closes once the file is written.
  void SaveAndClose();
  // The program ends without anyone to ask: the pages, when they changed, are written to
  // this run's recovery file beside the options file; else that file goes.
  void WriteRecoveryFile();
  // The close box was answered No: this run's recovery file goes.
  void ForgetRecoveryFile();
  // Every second: once the pages have not changed for five seconds, or have changed for
  // thirty without such a pause, this run's recovery file is brought in line with them (it
  // goes when nothing is left to keep), written on a thread of its own. So a run that is
  // killed, or a machine that loses power, loses at most the last few seconds.
  void TimerRecovery_Timer();
  // Returns once the recovery file's writes asked for so far are done: what is done next
  // comes after them (the end of the run; a look at the file).
  void FinishRecoveryWrites();
  // The recovery files that earlier runs left are offered in turn, each in a box of its own:
  // load it (which ends the offers), keep it for the next start, or discard it.
  void OfferRecoveryFile();
  // The recovery file of number n (1 to kMaxRecoveryFiles) beside the options file, or in
  // the user's state folder (under a name of this program folder, so that two folders that
  // both fall back never share one): a run keeps its pages in the first that no earlier run
  // left, or in the one it loaded; the state folder's only where the program folder's
  // cannot be written. Empty for the state folder when there is none.
  std::string RecoveryPath(int n = 1, bool inStateFolder = false) const;
  // Every name a recovery file of this program may have, made or not: those beside the
  // options file, then those of the state folder (none without one).
  std::vector<std::string> RecoveryNames() const;
  // Moves a refused recovery file aside (Recovery.refused-<date>-<time>.txt beside it), so
  // that no start offers it again and nothing of it is lost; the name it now has, or
  // nothing when it could not be moved.
  std::optional<std::string> SetAsideRefusedRecovery(const std::string& path);
  // The answers of the offer, as its buttons stand.
  enum RecoveryAnswer { kRecoveryLoad = 0, kRecoveryKeep = 1, kRecoveryDiscard = 2 };
  // What a kill (SIGKILL, a power cut) leaves of the recovery file's writes: one under way
  // ends, one not begun is lost (RecoveryWriter::abandon). For the tests that end a run so.
  void AbandonRecoveryWrites();
  // --- end of the pages' block ------------------------------------------------------------

 private:
  // The Undo and Redo keys of the on-screen keyboard follow the main window's buttons.
  void showForm8UndoKey(bool visible);
  void showForm8RedoKey(bool visible);
  // The page shown as a snapshot takes it, into pageScratch_ and factsScratch_.
  void readPageShown();
  // The fraction stage hints of a restored snapshot.
  void showFractionStage(int stage);
  // Whether symbol i is a fraction bar standing on the page shown.
  bool barOnPage(int i);
  // No fraction is open: nothing goes on naming or stretching a bar, and the hints say
  // Insert is next.
  void forgetOpenFraction();
  // The fraction open on the page shown, to keep with the page as it is left (nothing
  // when there is none, or its bar is not on the page).
  std::optional<FractionState> openFractionShown();
  // Takes up the fraction a page was left with, when its bar is back on the page.
  void takeUpFraction(const std::optional<FractionState>& f);
  // Whether putting snapshot UndoIndex back would change nothing of the page as it is now
  // (its symbols in pageScratch_, the rest in factsScratch_).
  bool sameAsCurrentSnapshot();
  // Undo and Redo: the page up, the snapshot UndoIndex put back; a bar that was open and
  // is no longer shows the closed picture again.
  void restoreSnapshot();
  // The selection reader's records and its cut, the expression line and the move buttons:
  // after clear all they would name symbols that are gone.
  void forgetSelection();
  // Gives the main window this state, running its resize step as a change of state does.
  void setWindowState(int state);
  // The records of the page shown, appended to the page-file buffer.
  void appendPageRecords(std::string& out);
  // The record of symbol i with its Left and Top as given.
  void appendSymbolRecord(std::string& out, int page, int i, double left, double top);
  // The records of a page file's bytes, checked whole; nothing when it is no page file, and
  // why in *problem.
  std::optional<std::vector<PageFileRecord>> checkPageFile(const std::string& bytes,
                                                           PageFileProblem* problem = nullptr);
  // A page file's bytes; nothing, and the reason said, when it could not be read.
  std::optional<std::string> readPageFile(const std::string& path);
  // Whether the symbol store has room for a file of this many records; when not, says so.
  bool roomForRecords(std::size_t count);
  // Offers one recovery file; true when no other is to be offered this run (it was loaded,
  // or the run ended while its box was open).
  bool offerRecovery(const std::string& path);
  // The places this run keeps its pages in, chosen the first time they are needed: beside
  // the options file, else in the state folder, each one that no earlier run left (or the
  // one this run loaded). Empty where every name is taken.
  std::vector<std::string> ownRecoveryPlaces();
  RecoveryWriter& recoveryWriter();
  // What the pages will hold, all twelve in page order, into *all; whether any page will
  // differ from what it was when last saved or loaded.
  bool pagesToKeep(std::string* all);
  // Brings this run's recovery file in line with the pages as they are now, through the
  // writer; nothing when it was asked to hold that already, unless asked again (a write
  // that failed).
  void keepRecoveryCurrent(bool again = false);
  // This run keeps its pages in this recovery file from now on (one an earlier run left, or
  // one the user opened), until they are saved.
  void adoptRecoveryFile(const std::string& path);
  // The recovery file of this program (this run's or an earlier run's, beside the options
  // file or in the state folder) that a name stands for, found by the file's identity, so
  // that another name or a link counts; empty when it is none.
  std::string recoveryFileOf(const std::string& name);
  // Whether a save to this name would write one of the files the program keeps for itself:
  // its recovery files (also one not made yet), the options file, the lock file; by the path
  // the name resolves to and, for a file that is there, by its identity.
  bool keptByTheProgram(const std::string& name);
  // Each tick of the recovery timer: a write that found no place is said once (until a
  // write succeeds again) and tried again, at widening intervals.
  void watchRecoveryWrites();
  // The box that says the pages are kept nowhere: the places tried, and that Save keeps them.
  void tellKeptNowhere(const std::vector<std::string>& places);

  // The Save or Open dialog with the file name emptied and this filter: the name chosen, or
  // empty.
  std::string askFileName(bool save, const char* filter);
  // Says a file could not be used, and why when a reason is given; the pages stay as they
  // are.
  void tellFileProblem(const std::string& text, const std::string& path, const std::string& reason);
  void tellNoPageFile(PageFileProblem problem);
  std::string problemText(PageFileProblem problem) const;
  // Why a file could not be written (replaceContent's error, or kKeptByTheProgram), as a
  // box says it.
  std::string writeErrorText(int error) const;
  // A save refused because the name stands for one of the program's own files.
  static constexpr int kKeptByTheProgram = -2;
  // The title of the boxes about page files.
  static constexpr const char* kFileBoxTitle = "Plavetra";
  // The boxes speak the language of the captions.
  bool english() const;

  // --- editing ----------------------------------------------------------------------------
  // The element of a selection record's symbol: its index (field 7) names a loaded element of
  // the array its class (field 6) chooses, of that kind; nullptr for a record that names no
  // symbol (one of a store cleared since, or no record at all).
  Control* recordElement(std::string_view record);
  // Whether symbol i stands on the page as Backspace counts it (its Top above 0).
  bool onPageForBackspace(int i);
  // --- end of the editing block -------------------------------------------------------------

  Program& p;

  UndoHistory history_;
  std::vector<UndoPlace> pageScratch_;
  UndoPageFacts factsScratch_;
  std::unique_ptr<clsOpenSave> fileDialog_;
  int saveWindowState_ = 0;
  std::string loadPath_;
  // What each page held when last saved or loaded, and what the save walk took of each: the
  // length and hash of its records, not a second copy of pages that may take megabytes.
  struct PageStamp {
    std::size_t size = 0;
    std::size_t hash = std::hash<std::string_view>{}(std::string_view());
    static PageStamp of(std::string_view records) {
      return {records.size(), std::hash<std::string_view>{}(records)};
    }
    bool operator==(const PageStamp&) const = default;
  };
  std::array<PageStamp, kPages> savedPages_;
  std::array<PageStamp, kPages> walkPages_;
  bool closeAfterSave_ = false;
  // The recovery file this run writes (empty until it is first needed), and what it was
  // last asked to hold (nothing: removed, or never written).
  std::string ownRecovery_, ownFallback_;
  // While a recovery file is offered: a refusal sets it aside, and says where it went.
  bool offeringRecovery_ = false;
  std::optional<PageStamp> recoveryKept_;
  std::unique_ptr<RecoveryWriter> recoveryWriter_;
  // The recovery file of this program the Open dialog chose (its path as the program names
  // it), while its load is confirmed; empty for any other file.
  std::string openedRecovery_;
  // Whether the box for pages kept nowhere was shown since the last write that kept them;
  // the seconds between the tries of a write that failed, and those left until the next.
  bool toldKeptNowhere_ = false;
  int retryWait_ = 0, retryIn_ = 0;
  // The pages' change count when the keeper last looked; the seconds since it last changed,
  // and since the first change not yet kept.
  std::uint64_t recoverySignal_ = 0;
  bool recoveryDue_ = false;
  int quietSeconds_ = 0, dueSeconds_ = 0;
  // The file being placed on the pages.
  PageFileLoad load_{p};
};

}  // namespace kel
