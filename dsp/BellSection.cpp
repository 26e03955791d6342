#include "BellSection.h"

namespace {

// Pk = ((αk3·fs + αk2)·fs + αk1)·fs
double DenominatorP(const BellDenominator& c, int k, double fs) {
  return ((c.alpha3.k[k] * fs + c.alpha2.k[k]) * fs + c.alpha1.k[k]) * fs;
}

// Mk = (d·fs)·((βk3·fs + βk2)·fs + βk1)
//      + (((fs·fs)·d)·(γk3·fs + γk2) + ((δk3·fs + δk2)·fs + δk1)·fs)·e
double DenominatorM(const BellDenominator& c, int k, double fs, double d, double e) {
  const double dTerm = (d * fs) * ((c.beta3.k[k] * fs + c.beta2.k[k]) * fs + c.beta1.k[k]);
  const double deTerm = ((fs * fs) * d) * (c.gamma3.k[k] * fs + c.gamma2.k[k]);
  const double eTerm = ((c.delta3.k[k] * fs + c.delta2.k[k]) * fs + c.delta1.k[k]) * fs;
  return dTerm + (deTerm + eTerm) * e;
}

// Pk = (αk2·fs + αk1)·fs
double NumeratorP(const BellNumerator& c, int k, double fs) {
  return (c.alpha2.k[k] * fs + c.alpha1.k[k]) * fs;
}

// Mk = (d·fs)·(βk2·fs + βk1) + ((γk2·d)·(fs·fs) + (δk2·fs + δk1)·fs)·e
// (the γ product is grouped differently from the denominator's on purpose).
double NumeratorM(const BellNumerator& c, int k, double fs, double d, double e) {
  const double dTerm = (d * fs) * (c.beta2.k[k] * fs + c.beta1.k[k]);
  const double deTerm = (c.gamma2.k[k] * d) * (fs * fs);
  const double eTerm = (c.delta2.k[k] * fs + c.delta1.k[k]) * fs;
  return dTerm + (deTerm + eTerm) * e;
}

double Denominator(const BellDenominator& c, double fs, double g, double d, double e) {
  double P[3], M[3];
  for (int k = 0; k < 3; ++k) {
    P[k] = DenominatorP(c, k, fs);
    M[k] = DenominatorM(c, k, fs, d, e);
  }
  return FoldGain(P, M, c.kappa, g);
}

double Numerator(const BellNumerator& c, double fs, double g, double d, double e) {
  double P[3], M[3];
  for (int k = 0; k < 3; ++k) {
    P[k] = NumeratorP(c, k, fs);
    M[k] = NumeratorM(c, k, fs, d, e);
  }
  return FoldGain(P, M, c.kappa, g);
}

}  // namespace

BellCoefficients EvaluateBell(const BellTables& t, double fs, double g, double d, double e) {
  BellCoefficients c;
  for (int n = 0; n < 4; ++n) {
    c.a[n] = Denominator(t.a[n], fs, g, d, e);
    c.b[n] = Numerator(t.b[n], fs, g, d, e);
  }
  return c;
}
