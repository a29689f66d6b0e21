// The host's writing of numbers, shared by acdbRToS and the LISP rtos so that
// both give the same text.
#pragma once

#include <string>

namespace host {

// The value in decimal with exactly prec decimals (0 to 16): rounded half away
// from zero on the shortest decimal text that reads back as the value (2.675
// gives "2.68" at 2 decimals), trailing zeros kept, a zero never shown as "-0".
std::string decimal_text(double value, int prec);

}  // namespace host
