#pragma once
// Arithmetic on the host's decimal numbers, done by the number itself (CNumeric::Sum and the rest):
// exact, then rounded half to even to its 38 digits. A result beyond the host number's range, or a
// division by zero, is a run-time error (RuntimeError).

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
// from zero, otherwise a half toward zero (more than a half always goes away).
CNumeric Round(const CNumeric& a, int places, bool half_up);
// The whole part, the fraction dropped toward zero.
CNumeric Truncate(const CNumeric& a);

}  // namespace script
