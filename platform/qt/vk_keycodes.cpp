#include "platform/qt/vk_keycodes.h"

namespace kel::qt {

namespace {

struct Entry {
  std::uint8_t keycode;
  std::uint8_t vk;
};

// evdev keycode -> virtual-key code, US positions.
constexpr Entry kTable[] = {
    {9, 27},                                                 // Escape
    {10, 49},   {11, 50},  {12, 51},  {13, 52},  {14, 53},   // 1..5
    {15, 54},   {16, 55},  {17, 56},  {18, 57},  {19, 48},   // 6..9, 0
    {20, 189},                                               // minus
    {21, 187},                                               // equal
    {22, 8},                                                 // BackSpace
    {23, 9},                                                 // Tab
    {24, 81},   {25, 87},  {26, 69},  {27, 82},  {28, 84},   // Q W E R T
    {29, 89},   {30, 85},  {31, 73},  {32, 79},  {33, 80},   // Y U I O P
    {34, 219},                                               // [
    {35, 221},                                               // ]
    {36, 13},                                                // Return
    {37, 162},                                               // Control_L
    {38, 65},   {39, 83},  {40, 68},  {41, 70},  {42, 71},   // A S D F G
    {43, 72},   {44, 74},  {45, 75},  {46, 76},              // H J K L
    {47, 186},                                               // ;
    {48, 222},                                               // '
    {49, 192},                                               // `
    {50, 160},                                               // Shift_L
    {51, 220},                                               // backslash
    {52, 90},   {53, 88},  {54, 67},  {55, 86},  {56, 66},   // Z X C V B
    {57, 78},   {58, 77},                                    // N M
    {59, 188},                                               // ,
    {60, 190},                                               // .
    {61, 191},                                               // /
    {62, 161},                                               // Shift_R
    {63, 106},                                               // KP_Multiply
    {64, 164},                                               // Alt_L
    {65, 32},                                                // space
    {66, 20},                                                // Caps_Lock
    {67, 112},  {68, 113}, {69, 114}, {70, 115}, {71, 116},  // F1..F5
    {72, 117},  {73, 118}, {74, 119}, {75, 120}, {76, 121},  // F6..F10
    {77, 144},                                               // Num_Lock
    {78, 145},                                               // Scroll_Lock
    {79, 103},  {80, 104}, {81, 105},                        // KP 7 8 9
    {82, 109},                                               // KP_Subtract
    {83, 100},  {84, 101}, {85, 102},                        // KP 4 5 6
    {86, 107},                                               // KP_Add
    {87, 97},   {88, 98},  {89, 99},                         // KP 1 2 3
    {90, 96},                                                // KP 0
    {91, 110},                                               // KP_Decimal
    {94, 226},              // the extra key beside the left Shift on ISO keyboards
    {95, 122},  {96, 123},  // F11, F12
    {104, 13},              // KP_Enter
    {105, 163},             // Control_R
    {106, 111},             // KP_Divide
    {107, 44},              // Print
    {108, 165},             // Alt_R (also AltGr)
    {110, 36},              // Home
    {111, 38},              // Up
    {112, 33},              // Prior
    {113, 37},              // Left
    {114, 39},              // Right
    {115, 35},              // End
    {116, 40},              // Down
    {117, 34},              // Next
    {118, 45},              // Insert
    {119, 46},              // Delete
    {127, 19},              // Pause
    {133, 91},              // Super_L
    {134, 92},              // Super_R
    {135, 93},              // Menu
};

struct Tables {
  std::array<std::uint8_t, 256> vkOf{};
  std::array<std::array<std::uint8_t, 2>, 256> keycodesOf{};
  constexpr Tables() {
    for (const Entry& e : kTable) {
      vkOf[e.keycode] = e.vk;
      auto& slots = keycodesOf[e.vk];
      if (slots[0] == 0)
        slots[0] = e.keycode;
      else if (slots[1] == 0)
        slots[1] = e.keycode;
    }
    keycodesOf[16] = {50, 62};   // either Shift
    keycodesOf[17] = {37, 105};  // either Ctrl
    keycodesOf[18] = {64, 108};  // either Alt
  }
};

constexpr Tables kTables;

}  // namespace

int vkForKeycode(int keycode) {
  if (keycode < 0 || keycode > 255) return 0;
  return kTables.vkOf[static_cast<std::size_t>(keycode)];
}

std::array<std::uint8_t, 2> keycodesForVk(int vk) {
  if (vk < 0 || vk > 255) return {0, 0};
  return kTables.keycodesOf[static_cast<std::size_t>(vk)];
}

int genericVk(int vk) {
  switch (vk) {
    case 160:
    case 161:
      return 16;
    case 162:
    case 163:
      return 17;
    case 164:
    case 165:
      return 18;
    default:
      return 0;
  }
}

}  // namespace kel::qt
