#pragma once

// The editor panel: its size, its images and where each control sits.  Shared
// by the editor's construction and by the program that draws the artwork.

namespace VantroseLayout {

constexpr int kWidth = 774;
constexpr int kHeight = 237;

// Frame sizes of the artwork; the framework takes them from the loaded images.
constexpr int kKnobSize = 54;
constexpr int kKnobFrames = 31;
constexpr int kSwitchWidth = 40;
constexpr int kSwitchHeight = 22;
constexpr int kSwitchFrames = 2;

constexpr int kBackgroundId = 103;
constexpr const char* kBackgroundFile = "resources/img/BG.png";

enum EControlKind { kSwitch, kKnob };

struct ControlPlace {
  EControlKind kind;
  int imageId;
  const char* file;
  int x, y;
  int paramIdx;
  const char* caption;  // printed under the control on the background
};

// In attachment order: index 1.. of the control list, after the background.
constexpr ControlPlace kControls[] = {
    {kSwitch, 106, "resources/img/BELL.png", 188, 35, 11, "Bell"},
    {kSwitch, 113, "resources/img/HPLP.png", 142, 35, 12, "HPLP"},
    {kSwitch, 114, "resources/img/BY.png", 96, 35, 13, "BY"},
    {kSwitch, 116, "resources/img/OVER.png", 0, 209, 14, "16x"},
    {kKnob, 101, "resources/img/LG.png", 248, 111, 0, "LGain"},
    {kKnob, 102, "resources/img/LF.png", 285, 48, 1, "LFreq"},
    {kKnob, 104, "resources/img/LMG.png", 343, 111, 2, "LMGain"},
    {kKnob, 105, "resources/img/LMF.png", 381, 48, 3, "LMFreq"},
    {kKnob, 107, "resources/img/HMG.png", 437, 113, 4, "HMGain"},
    {kKnob, 108, "resources/img/HMF.png", 477, 48, 5, "HMFreq"},
    {kKnob, 109, "resources/img/HG.png", 532, 113, 6, "HGain"},
    {kKnob, 110, "resources/img/HF.png", 573, 47, 7, "HFreq"},
    {kKnob, 111, "resources/img/HP.png", 60, 114, 8, "HP"},
    {kKnob, 112, "resources/img/LP.png", 153, 114, 9, "LP"},
    {kKnob, 115, "resources/img/GAIN.png", 622, 111, 10, "Gain"},
};
constexpr int kNumControls = sizeof(kControls) / sizeof(kControls[0]);

// The product name and tagline at the bottom right: a click on the name (above kNameB)
// opens and closes the response curve, on the tagline the product page.
constexpr int kLinkL = 600, kLinkT = 192, kLinkR = 766, kLinkB = 230;
constexpr int kNameB = 217;
constexpr const char* kProductURL = "https://www.kelvorin.com/vantrose";

}  // namespace VantroseLayout
