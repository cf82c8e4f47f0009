#include "base/result.h"

#include <cstdio>
#include <cstdlib>

namespace tavrel {

void ResultHasNoValue(const std::string& error) {
  std::fprintf(stderr, "internal error: the value of a failed result was used (%s)\n", error.c_str());
  std::abort();
}

}  // namespace tavrel
