#pragma once

// The third-order bell section behind L32P, LM32P, HM32P and H32P: a third-order
// analogue bell with a second-order numerator, taken to the sampled domain by the
// bilinear transform.  Every coefficient is a fixed polynomial in the rate fs, the gain
// position g and the frequency positions d, e; the classes publish the constants of a0
// and b0 plus a table of tripled constants, and the rest follows from them here.

// The constants of one monomial for the powers of g: k[n] multiplies g^n.
struct GainRow {
  double k[3];
};

// The constant tables of every band and pass filter.  Constants of one coefficient with
// rows up to fs³, in published order; Row is a GainRow where the constants depend on the
// gain position, a double where they do not.
template <class Row>
struct ThirdOrderRows {
  Row kappa;   // κ   1
  Row alpha1;  // α1  fs
  Row alpha2;  // α2  fs²
  Row alpha3;  // α3  fs³
  Row beta1;   // β1  d·fs
  Row beta2;   // β2  d·fs²
  Row beta3;   // β3  d·fs³
  Row gamma2;  // γ2  d·e·fs²
  Row gamma3;  // γ3  d·e·fs³
  Row delta1;  // δ1  e·fs
  Row delta2;  // δ2  e·fs²
  Row delta3;  // δ3  e·fs³
};

// Constants of one coefficient with rows up to fs², in published order.
template <class Row>
struct SecondOrderRows {
  Row kappa;   // κ   1
  Row alpha1;  // α1  fs
  Row alpha2;  // α2  fs²
  Row beta1;   // β1  d·fs
  Row beta2;   // β2  d·fs²
  Row gamma2;  // γ2  d·e·fs²
  Row delta1;  // δ1  e·fs
  Row delta2;  // δ2  e·fs²
};

// The bell sections' denominator coefficients, and their numerator ones (no fs³ rows).
using BellDenominator = ThirdOrderRows<GainRow>;
using BellNumerator = SecondOrderRows<GainRow>;

// The tripled constants T: close to three times the a0/b0 entry of the same row, but
// published separately because they are not the double nearest to 3·v.
struct BellTripled {
  GainRow denKappa;   // denominator 1
  GainRow denAlpha3;  // denominator fs³
  GainRow denBeta3;   // denominator d·fs³
  GainRow denGamma3;  // denominator d·e·fs³
  GainRow denDelta3;  // denominator e·fs³
  GainRow numKappa;   // numerator 1
};

// The constants of all eight coefficients: a[n] for an, b[n] for bn.
struct BellTables {
  BellDenominator a[4];
  BellNumerator b[4];
};

// Result of one coefficient evaluation.
struct BellCoefficients {
  double a[4];
  double b[4];
};

constexpr GainRow Negated(const GainRow& r) {
  return {{-r.k[0], -r.k[1], -r.k[2]}};
}

// How a row's constant v carries over to coefficient n (0..3), by the power p of fs in
// the row: p = 0 gives v, T, T, v; p = 1 gives v, v, −v, −v; p = 2 gives v, −v, −v, v;
// p = 3 gives v, −T, T, −v, with T the row's tripled constant.  The sign changes are
// exact.  The third-order pass filter follows the same rule.
constexpr double Carry(int n, int p, double v, double t) {
  constexpr int kSign[4][4] = {{1, 1, 1, 1}, {1, 1, -1, -1}, {1, -1, -1, 1}, {1, -1, 1, -1}};
  const bool tripled = (p == 0 || p == 3) && (n == 1 || n == 2);
  const double src = tripled ? t : v;
  return kSign[p][n] > 0 ? src : -src;
}

constexpr GainRow Carry(int n, int p, const GainRow& v, const GainRow& t) {
  return {{Carry(n, p, v.k[0], t.k[0]), Carry(n, p, v.k[1], t.k[1]), Carry(n, p, v.k[2], t.k[2])}};
}

constexpr BellDenominator CarryDenominator(int n, const BellDenominator& v, const BellTripled& t) {
  return {Carry(n, 0, v.kappa, t.denKappa),   Carry(n, 1, v.alpha1, v.alpha1),
          Carry(n, 2, v.alpha2, v.alpha2),    Carry(n, 3, v.alpha3, t.denAlpha3),
          Carry(n, 1, v.beta1, v.beta1),      Carry(n, 2, v.beta2, v.beta2),
          Carry(n, 3, v.beta3, t.denBeta3),   Carry(n, 2, v.gamma2, v.gamma2),
          Carry(n, 3, v.gamma3, t.denGamma3), Carry(n, 1, v.delta1, v.delta1),
          Carry(n, 2, v.delta2, v.delta2),    Carry(n, 3, v.delta3, t.denDelta3)};
}

constexpr BellNumerator CarryNumerator(int n, const BellNumerator& v, const BellTripled& t) {
  return {Carry(n, 0, v.kappa, t.numKappa), Carry(n, 1, v.alpha1, v.alpha1),
          Carry(n, 2, v.alpha2, v.alpha2),  Carry(n, 1, v.beta1, v.beta1),
          Carry(n, 2, v.beta2, v.beta2),    Carry(n, 2, v.gamma2, v.gamma2),
          Carry(n, 1, v.delta1, v.delta1),  Carry(n, 2, v.delta2, v.delta2)};
}

// All eight coefficients' constants from the published a0, b0 and tripled tables.
constexpr BellTables MakeBellTables(const BellDenominator& a0, const BellNumerator& b0,
                                    const BellTripled& t) {
  return {{CarryDenominator(0, a0, t), CarryDenominator(1, a0, t), CarryDenominator(2, a0, t),
           CarryDenominator(3, a0, t)},
          {CarryNumerator(0, b0, t), CarryNumerator(1, b0, t), CarryNumerator(2, b0, t),
           CarryNumerator(3, b0, t)}};
}

// Folds the three powers of g: S2 = (P2 + M2) + κ2, S1 = (P1 + (S2·g + M1)) + κ1,
// result (P0 + (S1·g + M0)) + κ0.  P holds the terms in fs alone, M those with d and e.
inline double FoldGain(const double P[3], const double M[3], const GainRow& kappa, double g) {
  const double s2 = (P[2] + M[2]) + kappa.k[2];
  const double s1 = (P[1] + (s2 * g + M[1])) + kappa.k[1];
  return (P[0] + (s1 * g + M[0])) + kappa.k[0];
}

// Evaluates a0..a3 and b0..b3 at rate fs, gain position g and frequency positions d, e,
// in the fixed grouping that makes them reproducible to the last bit.  Block rate.
BellCoefficients EvaluateBell(const BellTables& t, double fs, double g, double d, double e);

// Stores evaluated coefficients into a third-order section's fields.
template <class Section>
void StoreBell(const BellCoefficients& c, Section& s) {
  s.a0 = c.a[0];
  s.a1 = c.a[1];
  s.a2 = c.a[2];
  s.a3 = c.a[3];
  s.b0 = c.b[0];
  s.b1 = c.b[1];
  s.b2 = c.b[2];
  s.b3 = c.b[3];
}
