// Compiled, never run, by the tests in tests/CMakeLists.txt, with clang when it is there: a
// property compares with a number of another type both ways round, as the tests' EXPECT_EQ
// does (a twips Prop against a whole number), under C++20's rewritten comparisons.
#include "platform/forms.h"

namespace {

template <class A, class B>
bool same(const A& a, const B& b) {
  return a == b && b == a && !(a != b) && !(b != a);
}

}  // namespace

int main() {
  kel::Label label("Label1");
  label.Left = 15;
  label.Caption = "x";
  const bool ok = same(label.Left, 15) && same(label.Left, 15.0) && same(label.Left, 15L) &&
                  same(label.Caption, std::string("x")) && label.Left == label.Left;
  return ok ? 0 : 1;
}
