// The signals by which a session or a terminal ends the program: SIGTERM (logout),
// SIGINT (Ctrl+C) and SIGHUP (the terminal or the session closed). Each comes, through a
// self-pipe, as one call in the event loop, where the program can close as by its close
// button and write its options file.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace kel::qt {

class QuitSignals {
 public:
  // Installs the handlers; one object at a time. Without its pipe it installs none, and
  // the signals keep their default.
  explicit QuitSignals(std::function<void()> requested);
  // The signals go back to their default.
  ~QuitSignals();
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  bool installed() const { return notifier_ != nullptr; }

 private:
  std::function<void()> requested_;
  int fds_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kel::qt
