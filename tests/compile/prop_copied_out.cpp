// Compiled, never run, by the tests in tests/CMakeLists.txt: as it stands it compiles (a
// control copies with its properties); with one of the KEL_COPY_OUT_ macros it must not,
// since a property copied out of its control would mark whatever lies where the control
// would be.
#include "platform/forms.h"

int main() {
  kel::Label label("Label1");
  kel::Label copy = label;
  copy.Caption = "x";
  copy.Font.Size = 24;
  kel::Font font = label.Font;
  std::string caption = label.Caption;
#ifdef KEL_COPY_OUT_CAPTION
  auto c = label.Caption;
  c = "x";
#endif
#ifdef KEL_COPY_OUT_FONT
  auto f = label.Font;
  f.Size = 24;
#endif
#ifdef KEL_MOVE_OUT_WIDTH
  auto w = std::move(copy.Width);
  w = 15.0;
#endif
  return static_cast<int>(font.Size + static_cast<double>(caption.size()));
}
