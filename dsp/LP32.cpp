#include "LP32.h"

#include "BellSection.h"

namespace {

// Constants of a0 (and, with the α1, β1 and δ1 rows negated, of a2), and of a1, which
// has no rows in fs to the first power (they hold 0).
using LowPassRows = SecondOrderRows<double>;

// The low-pass constants.
constexpr LowPassRows kA0 = {
    0.000293230378280438,  // κ   1
    5.4893801785915e-09,   // α1  fs
    1.00618368250242e-13,  // α2  fs²
    3.51876453936525e-07,  // β1  d·fs
    1.2899790801313e-11,   // β2  d·fs²
    1.65381933350167e-09,  // γ2  d·e·fs²
    3.51890235626487e-07,  // δ1  e·fs
    1.2899790801313e-11,   // δ2  e·fs²
};

constexpr LowPassRows kA1 = {
    0.000586460756560875,   // κ   1
    0.0,                    // α1  fs
    -2.01236736500483e-13,  // α2  fs²
    0.0,                    // β1  d·fs
    -2.5799581602626e-11,   // β2  d·fs²
    -3.30763866700334e-09,  // γ2  d·e·fs²
    0.0,                    // δ1  e·fs
    -2.5799581602626e-11,   // δ2  e·fs²
};

constexpr LowPassRows kA2 = {kA0.kappa, -kA0.alpha1, kA0.alpha2,  -kA0.beta1,
                             kA0.beta2, kA0.gamma2,  -kA0.delta1, kA0.delta2};

// The numerator does not depend on the controls.
constexpr double kB0 = 0.000293227446005978;
constexpr double kB1 = 0.000586454892011955;
constexpr double kB2 = 0.000293227446005978;

// a0, a2: (((α2·fs + α1)·fs) + ((d·fs)·(β2·fs + β1) + ((γ2·d)·(fs·fs) + (δ2·fs + δ1)·fs)·e)) + κ
double EvenDenominator(const LowPassRows& c, double fs, double d, double e) {
  const double P = (c.alpha2 * fs + c.alpha1) * fs;
  const double dTerm = (d * fs) * (c.beta2 * fs + c.beta1);
  const double deTerm = (c.gamma2 * d) * (fs * fs);
  const double eTerm = (c.delta2 * fs + c.delta1) * fs;
  return (P + (dTerm + (deTerm + eTerm) * e)) + c.kappa;
}

// a1: (((fs·fs)·α2) + ((β2·d)·(fs·fs) + ((γ2·d)·(fs·fs) + (fs·fs)·δ2)·e)) + κ
double MiddleDenominator(const LowPassRows& c, double fs, double d, double e) {
  const double P = (fs * fs) * c.alpha2;
  const double dTerm = (c.beta2 * d) * (fs * fs);
  const double deTerm = (c.gamma2 * d) * (fs * fs);
  const double eTerm = (fs * fs) * c.delta2;
  return (P + (dTerm + (deTerm + eTerm) * e)) + c.kappa;
}

}  // namespace

void LPP32::Calc(double fs, double d, double e) {
  a0 = EvenDenominator(kA0, fs, d, e);
  a1 = MiddleDenominator(kA1, fs, d, e);
  a2 = EvenDenominator(kA2, fs, d, e);
  b0 = kB0;
  b1 = kB1;
  b2 = kB2;
}
