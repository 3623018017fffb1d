// kelvarin-eval: drives the program's evaluator from standard input, for tests and checks.
#include <iostream>
#include <string>

#include "tools/eval_tool.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return kel::tools::runEvalTool(argc, argv, std::cin, std::cout, std::cerr,
                                 kel::tools::executableFolder());
}
