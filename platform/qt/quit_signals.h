// The signals by which a session or a terminal ends the program: SIGTERM (logout),
// SIGINT (Ctrl+C) and SIGHUP (the terminal or the session closed). Each comes, through a
// self-pipe, as one call in the event loop, where the program can close as by its close
// button and write its options file.
//
// A signal the program was started with ignored stays ignored: whoever started it so
// (`nohup`, a shell's background job) asked for the run to outlive that signal.
#pragma once

#include <signal.h>

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace kel::qt {

class QuitSignals {
 public:
  // Installs the handlers, except for the signals that are ignored; one object at a time.
  // Without its pipe it installs none, and the signals keep what they had.
  explicit QuitSignals(std::function<void()> requested);
  // Each signal it handled gets back the action it had before.
  ~QuitSignals();
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  bool installed() const { return notifier_ != nullptr; }

 private:
  static constexpr int kCount = 3;
  std::function<void()> requested_;
  int fds_[2] = {-1, -1};
  // What each signal had before, and whether this object put its own handler there.
  struct sigaction previous_[kCount] = {};
  bool handled_[kCount] = {};
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kel::qt
