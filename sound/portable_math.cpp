#include "sound/portable_math.h"

#include <cmath>

double SinPi(double x) {
  // floor is exact in every C library, so the reduction is too: x = n + r,
  // |r| <= 1/2, sin(pi x) = (-1)^n sin(pi r).
  const double n = std::floor(x + 0.5);
  const double r = x - n;
  const double a = kPi * r;
  const double z = a * a;
  // sin a / a as its Taylor series, to the term in a^22: below 1e-17 when
  // |a| <= pi/2.
  double sum = 0;
  for (int k = 11; k >= 1; --k) sum = 1 - z / ((2.0 * k) * (2.0 * k + 1)) * sum;
  const double half = n * 0.5;
  return half == std::floor(half) ? a * sum : -(a * sum);
}

double BesselI0(double x) {
  const double q = x * x / 4;
  double term = 1;
  double sum = 1;
  for (int k = 1; term > sum * 1e-17; ++k) {
    term *= q / (static_cast<double>(k) * k);
    sum += term;
  }
  return sum;
}
