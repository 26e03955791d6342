#pragma once

// The magnitude response drawn as a picture in the panel's colours: a logarithmic
// frequency axis from 20 Hz to 20 kHz with decade and octave grid lines, a dB axis of
// +-18 dB widened to hold the curves, the curve anti-aliased over a faint fill, and a
// caption; a second curve (the defaults) can be drawn faintly beneath.

#include <string>
#include <vector>

#include "EffectSetup.h"
#include "Response.h"

class Raster_IBitmap;

struct ResponsePlot {
  std::vector<ResponsePoint> curve;
  std::vector<ResponsePoint> reference;  // drawn faintly beneath when not empty
  std::string title;                     // e.g. "44100 Hz"
  std::string caption;                   // the settings
  int width = 900;
  int height = 450;
};

// The dB axis: -18 to +18, each end widened to hold every point, and the spacing of
// its grid lines (6 dB, or 12, 24, 48 on a wide axis); the ends are multiples of it.
struct PlotScale {
  double lowDb, highDb, stepDb;
};
PlotScale PlotScaleFor(const ResponsePlot& plot);

// Draws the plot into bmp, which must be plot.width x plot.height; false when it is not.
bool DrawResponsePlot(const ResponsePlot& plot, Raster_IBitmap* bmp);

// Draws the plot and writes it as a PNG; false with a message in *error.
bool WriteResponsePlot(const ResponsePlot& plot, const std::string& path, std::string* error);

// The plot of points measured on plug at the given settings, titled with the rate and
// captioned with the settings; with compare, the defaults' response is measured too.
ResponsePlot MakeResponsePlot(const IPluginBase& plug, double rate,
                              const std::vector<ParamSetting>& settings,
                              const std::vector<ResponsePoint>& points, bool compare);
