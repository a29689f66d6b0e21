// The host's writing of numbers, shared by acdbRToS and the LISP rtos so that
// both give the same text.
#pragma once

#include <string>

namespace host {

// The value in decimal with exactly prec decimals (0 to 16): rounded half away
// from zero on the shortest decimal text that reads back as the value (2.675
// gives "2.68" at 2 decimals), trailing zeros kept, a zero never shown as "-0".
std::string decimal_text(double value, int prec);
// The same worked out from the shortest text of every finite value, as
// decimal_text does for values near a halfway mark.
std::string decimal_text_from_shortest(double value, int prec);

}  // namespace host
