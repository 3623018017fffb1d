// Key and button state services: stateless queries of the live desktop state.
#include "app/program.h"

namespace kel {

bool Input::IsCtrlDown() { return (p.desktop.asyncKeyState(vk::Control) & 0x8000) != 0; }

bool Input::IsShiftDown() { return (p.desktop.asyncKeyState(vk::Shift) & 0x8000) != 0; }

bool Input::IsLeftButtonDown() { return (p.desktop.asyncKeyState(vk::LButton) & 0x8000) != 0; }

bool Input::IsCapsLockOn() {
  const std::int16_t s = p.desktop.keyState(vk::Capital);
  return s == 1 || s == -127;
}

void Input::PressKey(int vk) { p.desktop.keyEvent(vk & 0xFF, false); }

void Input::ReleaseKey(int vk) { p.desktop.keyEvent(vk & 0xFF, true); }

}  // namespace kel
