// How long the Qt backend's tests wait for what the X server and the event loop bring: the
// room an idle machine needs, stretched by the factor ctest's limit of the test is scaled
// by (KEL_TEST_TIME_FACTOR, which tests/CMakeLists.txt passes; the end-to-end tests read
// the same). An answer that comes ends the wait, so the room costs nothing when it does.
#pragma once

#include <QTest>
#include <QWidget>
#include <cstdlib>

namespace kel::qt {

inline double timeFactor() {
  const char* set = std::getenv("KEL_TEST_TIME_FACTOR");
  const double factor = set && *set ? std::strtod(set, nullptr) : 0;
  return factor > 0 ? factor : 3;
}

// The deadline, in milliseconds, for what an idle machine does within `ms`.
inline int room(int ms) { return static_cast<int>(ms * timeFactor()); }

template <class Condition>
bool waitFor(Condition condition, int ms = 5000) {
  return QTest::qWaitFor(condition, room(ms));
}

inline bool waitExposed(QWidget* widget) {
  return QTest::qWaitForWindowExposed(widget, room(5000));
}

}  // namespace kel::qt
