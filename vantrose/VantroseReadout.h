#pragma once

#include <string>

#include "Calibration.h"

class IPluginBase;

// What each of the effect's controls is set to, in words and units, for the panel's
// read-outs, its typed values and the command line: the calibration of the effect core
// applied to the parameters as the effect reads them.  Not for the audio thread.
namespace VantroseReadout {

// The rate used where the host has not told one (an editor before it learns the rate).
constexpr double kDefaultRate = 48000.0;

// The chain's controls for plug's current parameter values at rate fs (kDefaultRate
// where fs is not positive).
ChainControls ControlsOf(const IPluginBase& plug, double fs);

enum class Unit { kDb, kHz };

// True for the eleven knobs, whose read-outs are physical values.
bool IsKnob(int paramIdx);
Unit UnitOf(int paramIdx);

// The physical value of knob paramIdx with the knob at position (0..1, its travel on
// the panel), every other control as it is: dB for the gains, Hz for the frequencies.
double KnobValue(const IPluginBase& plug, int paramIdx, double fs, double position);
// The same with the parameter at value (in its own units, as hosts and ports carry it).
double ValueReading(const IPluginBase& plug, int paramIdx, double fs, double value);

// A value as the read-outs print it: "+4.3 dB", "0.0 dB", "45 Hz", "356 Hz", "1.25 kHz",
// "12.5 kHz".
std::string FormatValue(Unit unit, double value);

// The read-out of any control at its current value: "+4.3 dB", "356 Hz", "HP 45 Hz",
// "off" (a pass filter with the filters switched off), "Bell", "16x".
std::string Text(const IPluginBase& plug, int paramIdx, double fs);

// "20 Hz to 600 Hz": what knob paramIdx can reach, other controls as they are.
std::string RangeText(const IPluginBase& plug, int paramIdx, double fs);

enum class Typed { kApplied, kGarbage, kUnreachable };

// Reads a typed value for knob paramIdx: "120 Hz", "120", "1.2k", "1.2 kHz", "+3",
// "-2.5 dB", "HP 45 Hz"; a bare number is in the knob's unit.  On kApplied *position is
// the knob position whose value is nearest, found by bisection over the monotonic
// calibration; a value outside the knob's reach, or anything else, leaves it alone.
Typed ParseTyped(const IPluginBase& plug, int paramIdx, double fs, const std::string& text,
                 double* position);

}  // namespace VantroseReadout
