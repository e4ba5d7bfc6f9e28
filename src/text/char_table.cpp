#include "text/char_table.h"

namespace orth {

int32_t CompareCaseless(const char* a, const char* b) {
  const auto* pa = reinterpret_cast<const unsigned char*>(a);
  const auto* pb = reinterpret_cast<const unsigned char*>(b);
  for (;; ++pa, ++pb) {
    const int32_t fa = IsUpper(*pa) ? *pa + 32 : *pa;
    const int32_t fb = IsUpper(*pb) ? *pb + 32 : *pb;
    if (fa != fb) return fa - fb;
    if (*pa == 0) return 0;
  }
}

}  // namespace orth
