#include "platform/qt/quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

namespace kel::qt {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The write end of the self-pipe. A signal handler can reach nothing else; it is set
// before the handlers are installed and cleared after they are gone.
volatile sig_atomic_t signalPipeWrite = -1;

extern "C" void onQuitSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // Async-signal-safe: one write of one byte; a full pipe already holds a request.
  if (signalPipeWrite >= 0) {
    [[maybe_unused]] ssize_t n = ::write(signalPipeWrite, &byte, 1);
  }
  errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> requested) : requested_(std::move(requested)) {
  if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
    fds_[0] = fds_[1] = -1;
    return;
  }
  signalPipeWrite = fds_[1];
  notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    char drain[64];
    while (::read(fds_[0], drain, sizeof drain) > 0) {
    }
    if (requested_) {
      const std::function<void()> copy = requested_;
      copy();
    }
  });
  struct sigaction sa {};
  sa.sa_handler = onQuitSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  static_assert(std::size(kSignals) == kCount);
  for (int i = 0; i < kCount; ++i) {
    if (sigaction(kSignals[i], nullptr, &previous_[i]) != 0) continue;
    if (!(previous_[i].sa_flags & SA_SIGINFO) && previous_[i].sa_handler == SIG_IGN) continue;
    handled_[i] = sigaction(kSignals[i], &sa, nullptr) == 0;
  }
}

QuitSignals::~QuitSignals() {
  if (!notifier_) return;
  for (int i = 0; i < kCount; ++i)
    if (handled_[i]) sigaction(kSignals[i], &previous_[i], nullptr);
  signalPipeWrite = -1;
  notifier_.reset();
  ::close(fds_[0]);
  ::close(fds_[1]);
}

}  // namespace kel::qt
