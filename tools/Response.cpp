#include "Response.h"

#include <algorithm>
#include <cmath>
#include <string>

std::vector<double> LogFrequencies(double lo, double hi, int perOctave) {
  const int steps = static_cast<int>(std::ceil(std::log2(hi / lo) * perOctave));
  std::vector<double> hz;
  for (int k = 0; k <= steps; ++k)
    hz.push_back(lo * std::pow(hi / lo, double(k) / steps));
  return hz;
}

namespace {

constexpr int kBlock = 512;
constexpr double kImpulse = 0.01;  // small enough to keep the saturation stage linear

// Runs n frames of the given left/right signal through the effect's double path.
void RunBlocks(Vantrose& fx, std::vector<double>& left, std::vector<double>& right,
               std::vector<double>& outL, std::vector<double>& outR) {
  for (size_t pos = 0; pos < left.size(); pos += kBlock) {
    const int n = static_cast<int>(std::min<size_t>(kBlock, left.size() - pos));
    double* ins[2] = {left.data() + pos, right.data() + pos};
    double* outs[2] = {outL.data() + pos, outR.data() + pos};
    RecursiveMutex::ScopedLock lock(fx.Mutex());
    fx.AttachInputBuffers(0, 2, ins, n);
    fx.AttachOutputBuffers(0, 2, outs);
    fx.ProcessBuffers(0.0, n);
  }
}

// |Σ h[n]·e^(−jωn)| by a rotating phasor, renormalised now and then.
double TransformMagnitude(const std::vector<double>& h, double w) {
  const double c = std::cos(w), s = std::sin(w);
  double pr = 1.0, pi = 0.0, re = 0.0, im = 0.0;
  for (size_t n = 0; n < h.size(); ++n) {
    re += h[n] * pr;
    im -= h[n] * pi;
    const double nr = pr * c - pi * s;
    pi = pr * s + pi * c;
    pr = nr;
    if ((n & 1023) == 1023) {
      const double m = std::hypot(pr, pi);
      pr /= m;
      pi /= m;
    }
  }
  return std::hypot(re, im);
}

}  // namespace

std::vector<ResponsePoint> MeasureResponse(Vantrose& fx, const std::vector<double>& hz) {
  const double fs = fx.GetSampleRate();
  const size_t settle = static_cast<size_t>(fs);
  const size_t length = static_cast<size_t>(fs * 1.5);
  std::vector<double> l(settle), r(settle), outL(settle), outR(settle);
  RunBlocks(fx, l, r, outL, outR);
  l.assign(length, 0.0);
  r.assign(length, 0.0);
  outL.assign(length, 0.0);
  outR.assign(length, 0.0);
  l[0] = r[0] = kImpulse;
  RunBlocks(fx, l, r, outL, outR);
  std::vector<ResponsePoint> points;
  for (double f : hz) {
    const double m = TransformMagnitude(outL, 2 * M_PI * f / fs) / kImpulse;
    points.push_back({f, 20.0 * std::log10(std::max(m, 1e-30))});
  }
  return points;
}

void PlotResponse(std::FILE* out, const std::vector<ResponsePoint>& points) {
  if (points.empty()) return;
  const int width = 64, height = 15;
  double top = 3.0;
  for (const ResponsePoint& p : points)
    top = std::max(top, std::fabs(p.db));
  top = std::ceil(top / 3.0) * 3.0;
  const double lo = std::log(points.front().hz), hi = std::log(points.back().hz);
  std::vector<std::string> rows(height, std::string(width, ' '));
  const int zeroRow = height / 2;
  for (int x = 0; x < width; ++x)
    rows[zeroRow][x] = '-';
  for (const ResponsePoint& p : points) {
    const int x = static_cast<int>(std::lround((std::log(p.hz) - lo) / (hi - lo) * (width - 1)));
    const double clamped = std::max(-top, std::min(top, p.db));
    const int y = zeroRow - static_cast<int>(std::lround(clamped / top * zeroRow));
    rows[y][x] = '*';
  }
  for (int y = 0; y < height; ++y) {
    const double db = (zeroRow - y) * top / zeroRow;
    if (y % 2 == 1 && y != zeroRow) {
      std::fprintf(out, "        |%s\n", rows[y].c_str());
    } else {
      std::fprintf(out, "%+6.1f  |%s\n", db, rows[y].c_str());
    }
  }
  std::fprintf(out, "        +%s\n", std::string(width, '-').c_str());
  std::fprintf(out, "         %-10.0f%*s%10.0f Hz\n", points.front().hz, width - 20, "",
               points.back().hz);
}
