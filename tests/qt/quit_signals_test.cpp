// The quit signals on the real event loop: a signal the program was started with ignored
// (nohup, a background job) stays ignored, and every signal gets back what it had once the
// handlers go.
#include "platform/qt/quit_signals.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QTest>

#include "tests/qt/test_time.h"

namespace kel::qt {
namespace {

volatile sig_atomic_t ownHandlerRan = 0;
extern "C" void ownHandler(int sig) { ownHandlerRan = sig; }

void setAction(int sig, void (*handler)(int)) {
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  ASSERT_EQ(sigaction(sig, &sa, nullptr), 0);
}

void (*actionOf(int sig))(int) {
  struct sigaction sa {};
  sigaction(sig, nullptr, &sa);
  return sa.sa_handler;
}

// Puts the test process's own action for the signal back whatever a test left.
class SignalActions : public ::testing::Test {
 protected:
  SignalActions() {
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], nullptr, &saved_[i]);
  }
  ~SignalActions() override {
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &saved_[i], nullptr);
  }
  static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

 private:
  struct sigaction saved_[3] = {};
};

TEST_F(SignalActions, ASignalInheritedAsIgnoredStaysIgnoredWhileTheOthersAreTaken) {
  for (int ignored : kSignals) {
    SCOPED_TRACE(ignored);
    for (int sig : kSignals) setAction(sig, sig == ignored ? SIG_IGN : SIG_DFL);
    int requests = 0;
    {
      QuitSignals quitSignals([&] { ++requests; });
      ASSERT_TRUE(quitSignals.installed());
      ASSERT_EQ(actionOf(ignored), SIG_IGN);
      ::raise(ignored);
      QCoreApplication::processEvents();
      EXPECT_EQ(requests, 0);
      for (int sig : kSignals) {
        if (sig == ignored) continue;
        ASSERT_NE(actionOf(sig), SIG_DFL) << sig;
        ::raise(sig);
        EXPECT_TRUE(waitFor([&] { return requests > 0; })) << sig;
        requests = 0;
      }
    }
    EXPECT_EQ(actionOf(ignored), SIG_IGN);
  }
}

TEST_F(SignalActions, EachSignalGetsBackTheActionItHadBefore) {
  for (int sig : kSignals) setAction(sig, ownHandler);
  {
    QuitSignals quitSignals([] {});
    ASSERT_TRUE(quitSignals.installed());
    for (int sig : kSignals) ASSERT_NE(actionOf(sig), ownHandler) << sig;
  }
  for (int sig : kSignals) {
    SCOPED_TRACE(sig);
    // Checked before it is raised: a default action would end the test run.
    ASSERT_EQ(actionOf(sig), ownHandler);
    ownHandlerRan = 0;
    ::raise(sig);
    EXPECT_EQ(ownHandlerRan, sig);
  }
}

}  // namespace
}  // namespace kel::qt
