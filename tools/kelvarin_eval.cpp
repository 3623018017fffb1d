// kelvarin-eval: drives the program's evaluator from standard input, for tests and checks.
#include <unistd.h>

#include <iostream>
#include <string>

#include "tools/eval_tool.h"

namespace {

// The folder of the executable: the build puts Simbol/ beside it.
std::string ownFolder() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  const std::string exe(buf, static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : exe.substr(0, slash);
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return kel::tools::runEvalTool(argc, argv, std::cin, std::cout, std::cerr, ownFolder());
}
