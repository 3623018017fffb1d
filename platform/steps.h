// Sequences in which a failing step is skipped and the next one still runs (start-up,
// shut-down, the layout pass, placement): the failure ends that step only.
#pragma once

#include <exception>

namespace kel {

template <class F>
void skipOnFailure(F&& f) {
  try {
    f();
  } catch (const std::exception&) {
  }
}

}  // namespace kel
