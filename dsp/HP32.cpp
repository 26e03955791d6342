#include "HP32.h"

#include "BellSection.h"

namespace {

// Constants of one coefficient; the numerator has only fs² and fs³ rows, the others 0.
using HighPassRows = ThirdOrderRows<double>;

// The high-pass constants: those of a0 and b0, and the tripled constants T of the rows
// that have one (used by a1, a2 and b1, b2).  Rows without a tripled constant hold 0.0
// in the T tables; the sign rule never reads them.
constexpr HighPassRows kA0 = {
    1.52890709065889e-05,   // κ   1
    1.22317306769902e-09,   // α1  fs
    9.77888736680688e-14,   // α2  fs²
    1.86035554454432e-19,   // α3  fs³
    -1.52884593559836e-07,  // β1  d·fs
    1.19254783648923e-11,   // β2  d·fs²
    2.38507121095426e-17,   // β3  d·fs³
    1.52890709065889e-09,   // γ2  d·e·fs²
    3.05778360378751e-15,   // γ3  d·e·fs³
    3.05781418131778e-07,   // δ1  e·fs
    1.25370320278968e-11,   // δ2  e·fs²
    2.38507121095426e-17,   // δ3  e·fs³
};
constexpr HighPassRows kA0Tripled = {
    4.58672127197666e-05,  // κ   1
    0.0,                   // α1  fs
    0.0,                   // α2  fs²
    5.58106663363297e-19,  // α3  fs³
    0.0,                   // β1  d·fs
    0.0,                   // β2  d·fs²
    7.15521363286278e-17,  // β3  d·fs³
    0.0,                   // γ2  d·e·fs²
    9.17335081136254e-15,  // γ3  d·e·fs³
    0.0,                   // δ1  e·fs
    0.0,                   // δ2  e·fs²
    7.15521363286278e-17,  // δ3  e·fs³
};

constexpr HighPassRows kB0 = {
    0.0,                   // κ   1
    0.0,                   // α1  fs
    9.30159168995765e-14,  // α2  fs²
    9.30159168995765e-20,  // α3  fs³
    0.0,                   // β1  d·fs
    1.19251175512278e-11,  // β2  d·fs²
    1.19251175512278e-17,  // β3  d·fs³
    1.52886122451638e-09,  // γ2  d·e·fs²
    1.52886122451638e-15,  // γ3  d·e·fs³
    0.0,                   // δ1  e·fs
    1.19251175512278e-11,  // δ2  e·fs²
    1.19251175512278e-17,  // δ3  e·fs³
};
constexpr HighPassRows kB0Tripled = {
    0.0,                   // κ   1
    0.0,                   // α1  fs
    0.0,                   // α2  fs²
    2.7904775069873e-19,   // α3  fs³
    0.0,                   // β1  d·fs
    0.0,                   // β2  d·fs²
    3.57753526536833e-17,  // β3  d·fs³
    0.0,                   // γ2  d·e·fs²
    4.58658367354914e-15,  // γ3  d·e·fs³
    0.0,                   // δ1  e·fs
    0.0,                   // δ2  e·fs²
    3.57753526536833e-17,  // δ3  e·fs³
};

// The constants of coefficient n by the sign rule of the bell sections (Carry).
constexpr HighPassRows CarryDenominator(int n) {
  const HighPassRows& v = kA0;
  const HighPassRows& t = kA0Tripled;
  return {
      Carry(n, 0, v.kappa, t.kappa),   Carry(n, 1, v.alpha1, 0.0), Carry(n, 2, v.alpha2, 0.0),
      Carry(n, 3, v.alpha3, t.alpha3), Carry(n, 1, v.beta1, 0.0),  Carry(n, 2, v.beta2, 0.0),
      Carry(n, 3, v.beta3, t.beta3),   Carry(n, 2, v.gamma2, 0.0), Carry(n, 3, v.gamma3, t.gamma3),
      Carry(n, 1, v.delta1, 0.0),      Carry(n, 2, v.delta2, 0.0), Carry(n, 3, v.delta3, t.delta3)};
}

constexpr HighPassRows CarryNumerator(int n) {
  const HighPassRows& v = kB0;
  const HighPassRows& t = kB0Tripled;
  return {0.0,
          0.0,
          Carry(n, 2, v.alpha2, 0.0),
          Carry(n, 3, v.alpha3, t.alpha3),
          0.0,
          Carry(n, 2, v.beta2, 0.0),
          Carry(n, 3, v.beta3, t.beta3),
          Carry(n, 2, v.gamma2, 0.0),
          Carry(n, 3, v.gamma3, t.gamma3),
          0.0,
          Carry(n, 2, v.delta2, 0.0),
          Carry(n, 3, v.delta3, t.delta3)};
}

constexpr HighPassRows kA[4] = {CarryDenominator(0), CarryDenominator(1), CarryDenominator(2),
                                CarryDenominator(3)};
constexpr HighPassRows kB[4] = {CarryNumerator(0), CarryNumerator(1), CarryNumerator(2),
                                CarryNumerator(3)};

// (P + M) + κ, P = ((α3·fs + α2)·fs + α1)·fs,
// M = (d·fs)·((β3·fs + β2)·fs + β1)
//     + (((fs·fs)·d)·(γ3·fs + γ2) + ((δ3·fs + δ2)·fs + δ1)·fs)·e
double Denominator(const HighPassRows& c, double fs, double d, double e) {
  const double P = ((c.alpha3 * fs + c.alpha2) * fs + c.alpha1) * fs;
  const double dTerm = (d * fs) * ((c.beta3 * fs + c.beta2) * fs + c.beta1);
  const double deTerm = ((fs * fs) * d) * (c.gamma3 * fs + c.gamma2);
  const double eTerm = ((c.delta3 * fs + c.delta2) * fs + c.delta1) * fs;
  const double M = dTerm + (deTerm + eTerm) * e;
  return (P + M) + c.kappa;
}

// P + (R + (S + U)·e), P = (fs·fs)·(α3·fs + α2), R = ((fs·fs)·d)·(β3·fs + β2),
// S = ((fs·fs)·d)·(γ3·fs + γ2), U = (fs·fs)·(δ3·fs + δ2)
double Numerator(const HighPassRows& c, double fs, double d, double e) {
  const double P = (fs * fs) * (c.alpha3 * fs + c.alpha2);
  const double R = ((fs * fs) * d) * (c.beta3 * fs + c.beta2);
  const double S = ((fs * fs) * d) * (c.gamma3 * fs + c.gamma2);
  const double U = (fs * fs) * (c.delta3 * fs + c.delta2);
  return P + (R + (S + U) * e);
}

}  // namespace

void HPP32::Calc(double fs, double d, double e) {
  a0 = Denominator(kA[0], fs, d, e);
  a1 = Denominator(kA[1], fs, d, e);
  a2 = Denominator(kA[2], fs, d, e);
  a3 = Denominator(kA[3], fs, d, e);
  b0 = Numerator(kB[0], fs, d, e);
  b1 = Numerator(kB[1], fs, d, e);
  b2 = Numerator(kB[2], fs, d, e);
  b3 = Numerator(kB[3], fs, d, e);
}
