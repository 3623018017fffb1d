// Virtual-key codes of the physical keys of a PC keyboard, by their X keycode.
//
// The program reads keys by where they sit on the keyboard, not by what the active
// layout makes of them: the table is the US position of every key under the evdev
// keycodes that X servers use (keycode = Linux key code + 8), so a Cyrillic or any
// other layout group gives the same codes.
#pragma once

#include <array>
#include <cstdint>

namespace kel::qt {

// The virtual-key code of an X keycode, 0 for a key the program has no code for.
int vkForKeycode(int keycode);

// The X keycodes that report a virtual-key code (the first is the one injected);
// up to two, 0 for none. Shift, Ctrl and Alt (16, 17, 18) report both sides.
std::array<std::uint8_t, 2> keycodesForVk(int vk);

// The side-less code that a left or right Shift, Ctrl or Alt also reports, or 0.
int genericVk(int vk);

}  // namespace kel::qt
