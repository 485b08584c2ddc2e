// Functions whose results must not depend on the C library: the Linux and
// Windows builds must write the same bytes, and libm's sin, cos or exp may
// differ by an ulp between C libraries. Only + - * / and sqrt, which IEEE
// 754 rounds the same everywhere, in a fixed order.
#pragma once

constexpr double kPi = 3.141592653589793;

// sin(pi x), within a few ulp for |x| < 2^52.
double SinPi(double x);

// The modified Bessel function of the first kind, of order 0.
double BesselI0(double x);
