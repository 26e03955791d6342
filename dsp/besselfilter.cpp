#include "besselfilter.h"

#include <cmath>

namespace {

// Tenth-order Bessel prototype, −3 dB at 1 rad/s: five conjugate pole pairs σ ± jω.
struct PolePair {
  double sigma, omega;
};
constexpr PolePair kPrototype[5] = {
    {-1.927619691324482, 0.2416234709451774},  {-1.8421962445659017, 0.7272575977534836},
    {-1.6618102413500957, 1.221100218591516},  {-1.3606922783857325, 1.73350574265843},
    {-0.8657569017089488, 2.2926048309837426},
};
constexpr double kTwoPi = 6.283185307179586;

struct Complex {
  double re, im;
};

Complex Mul(Complex a, Complex q) {
  return {a.re * q.re - a.im * q.im, a.re * q.im + a.im * q.re};
}
Complex Add(Complex a, Complex b) {
  return {a.re + b.re, a.im + b.im};
}

// Multiplies the polynomial A (A[j] weighs z^j) by (z − p).
void MultiplyByRoot(Complex A[11], Complex p) {
  const Complex q = {-p.re, -p.im};
  for (int j = 10; j >= 1; --j)
    A[j] = Add(Mul(A[j], q), A[j - 1]);
  A[0] = Mul(A[0], q);
}

}  // namespace

void BesselFilterCoeffs::Calc(double w) {
  const double W = w * kTwoPi;
  Complex A[11] = {{1.0, 0.0}};
  for (const PolePair& pair : kPrototype) {
    const double r = std::exp(pair.sigma * W);
    const double theta = pair.omega * W;
    MultiplyByRoot(A, {std::cos(theta) * r, std::sin(theta) * r});
    MultiplyByRoot(A, {std::cos(theta) * r, std::sin(-theta) * r});
  }
  // The denominator's value at z = 1 (0 Hz), summed from the leading coefficient down.
  Complex S = {A[10].re + 0.0, A[10].im + 0.0};
  for (int j = 9; j >= 1; --j)
    S = {S.re + A[j].re, S.im + A[j].im};
  S = {S.re + A[0].re, S.im + A[0].im};
  const double n = S.im * S.im + S.re * S.re;
  c[0] = 1.0 / std::hypot(S.re / n, (-S.im) / n);
  for (int k = 1; k <= 10; ++k)
    c[k] = -(A[10 - k].re / A[10].re);
}
