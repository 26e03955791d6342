#pragma once

// The magnitude response of the whole effect, measured by running it: its smoothers
// settle on silence, then an impulse goes through and the response is the transform
// of what comes out, at each requested frequency.
#include <cstdio>
#include <vector>

#include "Vantrose.h"

struct ResponsePoint {
  double hz;
  double db;
};

// Frequencies from lo to hi Hz, perOctave points per octave, both ends included.
std::vector<double> LogFrequencies(double lo, double hi, int perOctave);

// fx: a configured stereo effect whose block size is at least 512 frames.  Runs it
// (changing its state) and returns the left channel's gain at each frequency.
std::vector<ResponsePoint> MeasureResponse(Vantrose& fx, const std::vector<double>& hz);

// A small text plot of the response: log frequency across, dB up.
void PlotResponse(std::FILE* out, const std::vector<ResponsePoint>& points);
