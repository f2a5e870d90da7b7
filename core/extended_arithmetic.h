#pragma once
// The calculator's arithmetic: x op y on doubles, the exact result rounded first to a 64-bit
// significand in the 15-bit extended exponent range, then to double with gradual underflow,
// both to nearest with ties to even; IEEE special values with every exception masked, and the
// indefinite (0xFFF8000000000000) for invalid operations. An exact integer emulation: it does
// not depend on the host's floating-point unit, its rounding mode or compiler flags.

namespace zendrel {

enum class Operator { Add, Subtract, Multiply, Divide };

double extendedAdd(double x, double y);
double extendedSubtract(double x, double y);
double extendedMultiply(double x, double y);
double extendedDivide(double x, double y);

double applyOperator(Operator op, double x, double y);

}  // namespace zendrel
