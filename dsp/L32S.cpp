#include "L32S.h"

#include "BellSection.h"

namespace {

// Constants of a0 (and, with the rows in fs to the first power negated, of a2).
struct ShelfA0 {
  GainRow kappa, alpha1, alpha2, rho0, rho1, rho2, beta1, beta2, epsilon, delta1, delta2;
};
// Constants of a1.
struct ShelfA1 {
  GainRow kappa, alpha2, rho0, rho2, beta2, epsilon, delta2;
};
// Constants of b0 (and, with the rows in fs to the first power negated, of b2).
struct ShelfB0 {
  GainRow kappa, alpha1, rho0, rho1, beta1, epsilon, delta1;
};
// Constants of b1.
struct ShelfB1 {
  GainRow kappa, rho0, epsilon;
};

// The low shelf's constants.  Columns: factor of g⁰, g¹, g².

constexpr ShelfA0 kA0 = {
    {{0.000546795812478483, 0.00158496867021086, -0.00204673994508657}},    // κ   1
    {{7.66462239920043e-08, 2.78713516300952e-07, -2.79175287575828e-07}},  // α1  fs
    {{1.51073299592985e-13, 5.50158195712329e-13, -5.50158195712329e-13}},  // α2  fs²
    {{0.00585452358905606, 0.0213202077613185, -0.0213202077613185}},       // ρ0  d
    {{1.58540487082825e-06, 5.77351183536941e-06, -5.77351183536941e-06}},  // ρ1  d·fs
    {{3.14736040818719e-12, 1.14616290773402e-11, -1.14616290773402e-11}},  // ρ2  d·fs²
    {{3.27853320987139e-05, 0.000119393163463383, -0.000119393163463383}},  // β1  d·e·fs
    {{6.55700085038998e-11, 2.38783939111254e-10, -2.38783939111254e-10}},  // β2  d·e·fs²
    {{0.00553705583757901, 0.0116999728680745, -0.0213202077613185}},       // ε   e
    {{1.58508740307677e-06, 5.76389160047617e-06, -5.77351183536941e-06}},  // δ1  e·fs
    {{3.14736040818719e-12, 1.14616290773402e-11, -1.14616290773402e-11}},  // δ2  e·fs²
};

constexpr ShelfA1 kA1 = {
    {{0.00109359162495697, 0.00316993734042173, -0.00409347989017314}},      // κ   1
    {{-3.0214659918597e-13, -1.10031639142466e-12, 1.10031639142466e-12}},   // α2  fs²
    {{0.0117090471781121, 0.0426404155226369, -0.0426404155226369}},         // ρ0  d
    {{-6.29472081637438e-12, -2.29232581546804e-11, 2.29232581546804e-11}},  // ρ2  d·fs²
    {{-1.311400170078e-10, -4.77567878222507e-10, 4.77567878222507e-10}},    // β2  d·e·fs²
    {{0.011074111675158, 0.023399945736149, -0.0426404155226369}},           // ε   e
    {{-6.29472081637438e-12, -2.29232581546804e-11, 2.29232581546804e-11}},  // δ2  e·fs²
};

constexpr ShelfB0 kB0 = {
    {{-8.50132971422929e-05, -0.00250847028598206, 0.00204669901110635}},    // κ   1
    {{-7.50588847106015e-08, -2.75538118367569e-07, 2.75076347092693e-07}},  // α1  fs
    {{-0.00585440650092604, -0.0213197813656911, 0.0213197813656911}},       // ρ0  d
    {{-1.57366446744892e-06, -5.73075723109778e-06, 5.73075723109778e-06}},  // ρ1  d·fs
    {{-3.27846764051858e-05, -0.00011939077564787, 0.00011939077564787}},    // β1  d·e·fs
    {{0.00408329614379494, -0.0309400162589351, 0.0213197813656911}},        // ε   e
    {{-1.5637267648042e-06, -5.74037746599102e-06, 5.73075723109778e-06}},   // δ1  e·fs
};

constexpr ShelfB1 kB1 = {
    {{-0.000170026594284586, -0.00501694057196412, 0.0040933980222127}},  // κ   1
    {{-0.0117088130018521, -0.0426395627313823, 0.0426395627313823}},     // ρ0  d
    {{0.00816659228758988, -0.0618800325178701, 0.0426395627313823}},     // ε   e
};

// a2 and b2: the a0 and b0 constants with every row in fs to the first power negated
// (α1, ρ1, β1, δ1); the sign change is exact.
constexpr ShelfA0 kA2 = {
    kA0.kappa, Negated(kA0.alpha1), kA0.alpha2, kA0.rho0,    Negated(kA0.rho1),
    kA0.rho2,  Negated(kA0.beta1),  kA0.beta2,  kA0.epsilon, Negated(kA0.delta1),
    kA0.delta2};
constexpr ShelfB0 kB2 = {kB0.kappa,          Negated(kB0.alpha1), kB0.rho0,
                         Negated(kB0.rho1),  Negated(kB0.beta1),  kB0.epsilon,
                         Negated(kB0.delta1)};

// a0, a2: Pk = (αk2·fs + αk1)·fs,
// Mk = ((ρk2·fs + ρk1)·fs + ρk0)·d + (((d·fs)·(βk2·fs + βk1) + (δk2·fs + δk1)·fs) + εk)·e
double EvenDenominator(const ShelfA0& c, double fs, double g, double d, double e) {
  double P[3], M[3];
  for (int k = 0; k < 3; ++k) {
    P[k] = (c.alpha2.k[k] * fs + c.alpha1.k[k]) * fs;
    const double dTerm = ((c.rho2.k[k] * fs + c.rho1.k[k]) * fs + c.rho0.k[k]) * d;
    const double deTerm = (d * fs) * (c.beta2.k[k] * fs + c.beta1.k[k]);
    const double eTerm = (c.delta2.k[k] * fs + c.delta1.k[k]) * fs;
    M[k] = dTerm + ((deTerm + eTerm) + c.epsilon.k[k]) * e;
  }
  return FoldGain(P, M, c.kappa, g);
}

// a1: Pk = (fs·fs)·αk2,
// Mk = ((fs·fs)·ρk2 + ρk0)·d + (((βk2·d)·(fs·fs) + (fs·fs)·δk2) + εk)·e
double MiddleDenominator(const ShelfA1& c, double fs, double g, double d, double e) {
  double P[3], M[3];
  for (int k = 0; k < 3; ++k) {
    P[k] = (fs * fs) * c.alpha2.k[k];
    const double dTerm = ((fs * fs) * c.rho2.k[k] + c.rho0.k[k]) * d;
    const double deTerm = (c.beta2.k[k] * d) * (fs * fs);
    const double eTerm = (fs * fs) * c.delta2.k[k];
    M[k] = dTerm + ((deTerm + eTerm) + c.epsilon.k[k]) * e;
  }
  return FoldGain(P, M, c.kappa, g);
}

// b0, b2: Pk = αk1·fs, Mk = (ρk1·fs + ρk0)·d + (((βk1·d)·fs + δk1·fs) + εk)·e
double EvenNumerator(const ShelfB0& c, double fs, double g, double d, double e) {
  double P[3], M[3];
  for (int k = 0; k < 3; ++k) {
    P[k] = c.alpha1.k[k] * fs;
    const double dTerm = (c.rho1.k[k] * fs + c.rho0.k[k]) * d;
    const double deTerm = (c.beta1.k[k] * d) * fs;
    const double eTerm = c.delta1.k[k] * fs;
    M[k] = dTerm + ((deTerm + eTerm) + c.epsilon.k[k]) * e;
  }
  return FoldGain(P, M, c.kappa, g);
}

// b1 has no term in fs: Mk = ρk0·d + εk·e, folded as S2 = M2 + κ2,
// S1 = (S2·g + M1) + κ1, b1 = (S1·g + M0) + κ0.
double MiddleNumerator(const ShelfB1& c, double g, double d, double e) {
  double M[3];
  for (int k = 0; k < 3; ++k)
    M[k] = c.rho0.k[k] * d + c.epsilon.k[k] * e;
  const double s2 = M[2] + c.kappa.k[2];
  const double s1 = (s2 * g + M[1]) + c.kappa.k[1];
  return (s1 * g + M[0]) + c.kappa.k[0];
}

}  // namespace

void L32S::Calc(double fs, double g, double d, double e) {
  a0 = EvenDenominator(kA0, fs, g, d, e);
  a1 = MiddleDenominator(kA1, fs, g, d, e);
  a2 = EvenDenominator(kA2, fs, g, d, e);
  b0 = EvenNumerator(kB0, fs, g, d, e);
  b1 = MiddleNumerator(kB1, g, d, e);
  b2 = EvenNumerator(kB2, fs, g, d, e);
}
