// What the files of the views share that is no part of their interface.
#pragma once

namespace kel::qt {

// Runs a copy of an event handler: the handler may unload the very control that owns it.
template <class H, class... A>
void callHandler(const H& h, A... args) {
  if (!h) return;
  H copy = h;
  copy(args...);
}

}  // namespace kel::qt
