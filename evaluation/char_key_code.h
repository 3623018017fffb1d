// The key that types a character on a US English keyboard, for the limits dialogs.
#pragma once

#include <string>

namespace kel {

// A CharKeyCode as text: 10 x the key's virtual-key code + 1 when Shift is held ("a" 650,
// "A" 651, "/" 1910), or "" for a character no key of the table types (the blank, "%", "^",
// "~", the grave accent, anything outside printable US ASCII) and for a text that is not
// one character. "@" is the exception: 10130, read as the symbol code of pi (1013), which
// the limits dialogs put in place of every "pi".
std::string CharToKeyCode(const std::string& ch);

}  // namespace kel
