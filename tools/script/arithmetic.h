#pragma once
// Arithmetic on the host's decimal numbers. Whole numbers within 64 bits are added, subtracted and
// multiplied exactly in place; everything else goes through a 50-digit decimal and is rounded back
// to the host number's 38 digits. A result beyond the host number's range, or a division by zero,
// is a run-time error (RuntimeError).

#include "platform/runtime/numeric.h"

namespace script {

CNumeric Add(const CNumeric& a, const CNumeric& b);
CNumeric Subtract(const CNumeric& a, const CNumeric& b);
CNumeric Multiply(const CNumeric& a, const CNumeric& b);
CNumeric Divide(const CNumeric& a, const CNumeric& b);
// The remainder of the division truncated toward zero: it takes the sign of a (7 % -2 is 1).
CNumeric Remainder(const CNumeric& a, const CNumeric& b);
CNumeric Negate(const CNumeric& a);
// To the given number of places after the point (negative: before it); half_up rounds a half away
// from zero, otherwise toward zero.
CNumeric Round(const CNumeric& a, int places, bool half_up);
// The whole part, the fraction dropped toward zero.
CNumeric Truncate(const CNumeric& a);

}  // namespace script
