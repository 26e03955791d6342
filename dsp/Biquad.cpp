#include "Biquad.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kSqrt2 = 1.4142135623730951;

// 2·x, written as x + x.
double Twice(double x) {
  return x + x;
}

}  // namespace

Biquad::Biquad(int type, double Fc, double Q, double peakGain)
    : type(type), Fc(Fc), Q(Q), peakGain(peakGain) {
  calcBiquad();
  z1 = 0.0;
  z2 = 0.0;
}

void Biquad::setType(int t) {
  type = t;
  calcBiquad();
}

void Biquad::setQ(double q) {
  Q = q;
  calcBiquad();
}

void Biquad::setFc(double fc) {
  Fc = fc;
  calcBiquad();
}

void Biquad::setPeakGain(double peakGainDB) {
  peakGain = peakGainDB;
  calcBiquad();
}

void Biquad::setBiquad(int t, double fc, double q, double peakGainDB) {
  type = t;
  Q = q;
  Fc = fc;
  peakGain = peakGainDB;
  calcBiquad();
}

// The usual bilinear-transform designs, each grouped as it is evaluated here so the
// coefficients are reproducible to the last bit.  The peak type divides 1 and V by Q
// before multiplying by K, while types 0 to 3 divide K by Q.
void Biquad::calcBiquad() {
  const double V = std::pow(10.0, std::fabs(peakGain) / 20.0);
  const double K = std::tan(Fc * kPi);
  const double KK = K * K;
  const double sqrt2V = std::sqrt(V + V);
  const double VKK = (V * K) * K;
  double norm;
  switch (type) {
    case kLowpass:
      norm = 1.0 / ((K / Q + 1.0) + KK);
      a0 = KK * norm;
      a1 = Twice(a0);
      a2 = a0;
      b1 = Twice(KK - 1.0) * norm;
      b2 = ((1.0 - K / Q) + KK) * norm;
      break;
    case kHighpass:
      norm = 1.0 / ((K / Q + 1.0) + KK);
      a0 = norm;
      a1 = -Twice(norm);
      a2 = norm;
      b1 = Twice(KK - 1.0) * norm;
      b2 = ((1.0 - K / Q) + KK) * norm;
      break;
    case kBandpass:
      norm = 1.0 / ((K / Q + 1.0) + KK);
      a0 = (K / Q) * norm;
      a1 = 0.0;
      a2 = -a0;
      b1 = Twice(KK - 1.0) * norm;
      b2 = ((1.0 - K / Q) + KK) * norm;
      break;
    case kNotch:
      norm = 1.0 / ((K / Q + 1.0) + KK);
      a0 = (KK + 1.0) * norm;
      a1 = Twice(KK - 1.0) * norm;
      a2 = a0;
      b1 = a1;
      b2 = ((1.0 - K / Q) + KK) * norm;
      break;
    case kPeak: {
      const double boostK = (V / Q) * K;  // the gain side
      const double flatK = (1.0 / Q) * K;
      // A cut mirrors a boost: the two sides trade places between the numerator and
      // the denominator.
      const double numK = peakGain >= 0.0 ? boostK : flatK;
      const double denK = peakGain >= 0.0 ? flatK : boostK;
      norm = 1.0 / ((denK + 1.0) + KK);
      a0 = ((numK + 1.0) + KK) * norm;
      a1 = Twice(KK - 1.0) * norm;
      a2 = ((1.0 - numK) + KK) * norm;
      b1 = a1;
      b2 = ((1.0 - denK) + KK) * norm;
      break;
    }
    case kLowshelf:
      if (peakGain >= 0.0) {
        norm = 1.0 / ((kSqrt2 * K + 1.0) + KK);
        a0 = ((sqrt2V * K + 1.0) + VKK) * norm;
        a1 = Twice(VKK - 1.0) * norm;
        a2 = ((1.0 - sqrt2V * K) + VKK) * norm;
        b1 = Twice(KK - 1.0) * norm;
        b2 = ((1.0 - kSqrt2 * K) + KK) * norm;
      } else {
        norm = 1.0 / ((sqrt2V * K + 1.0) + VKK);
        a0 = ((kSqrt2 * K + 1.0) + KK) * norm;
        a1 = Twice(KK - 1.0) * norm;
        a2 = ((1.0 - kSqrt2 * K) + KK) * norm;
        b1 = Twice(VKK - 1.0) * norm;
        b2 = ((1.0 - sqrt2V * K) + VKK) * norm;
      }
      break;
    case kHighshelf:
      if (peakGain >= 0.0) {
        norm = 1.0 / ((kSqrt2 * K + 1.0) + KK);
        a0 = ((V + sqrt2V * K) + KK) * norm;
        a1 = Twice(KK - V) * norm;
        a2 = ((V - sqrt2V * K) + KK) * norm;
        b1 = Twice(KK - 1.0) * norm;
        b2 = ((1.0 - kSqrt2 * K) + KK) * norm;
      } else {
        norm = 1.0 / ((V + sqrt2V * K) + KK);
        a0 = ((kSqrt2 * K + 1.0) + KK) * norm;
        a1 = Twice(KK - 1.0) * norm;
        a2 = ((1.0 - kSqrt2 * K) + KK) * norm;
        b1 = Twice(KK - V) * norm;
        b2 = ((V - sqrt2V * K) + KK) * norm;
      }
      break;
    default:
      break;  // an unknown type keeps the coefficients in force
  }
}
