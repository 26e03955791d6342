#include "PanelSnapshot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "AppKit.h"
#include "IGraphicsCocoa.h"
#include "IGraphicsMac.h"
#include "OutputPath.h"
#include "Raster_MemBitmap.h"
#include "Raster_PNG.h"
#include "Raster_PNGWrite.h"
#include "VantroseCurveStrip.h"
#include "VantroseLayout.h"
#include "VantroseReadoutOverlay.h"

namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool HasArtwork(const std::string& root) {
  return IsFile(root + "/resources/img/BG.png");
}

// The height of the editor being rendered: the panel's, or more with the curve open.
int gEditorHeight = VantroseLayout::kHeight;

// Window coordinates of an editor pixel, the inverse of the view's mouse mapping.
NSPoint WindowPoint(int x, int y) {
  return NSMakePoint(x + 2, gEditorHeight - y - 3);
}

void Send(IGraphicsCocoa* view, NSEventType type, int x, int y, int clicks = 1) {
  NSPoint p = WindowPoint(x, y);
  NSEvent e = NSEvent::MouseEvent(type, p.x, p.y, 0, clicks);
  if (type == NSLeftMouseDown) view->mouseDown(&e);
  if (type == NSLeftMouseUp) view->mouseUp(&e);
  if (type == NSLeftMouseDragged) view->mouseDragged(&e);
  if (type == NSMouseMoved) view->mouseMoved(&e);
  if (type == NSRightMouseDown) view->rightMouseDown(&e);
  if (type == NSRightMouseUp) view->rightMouseUp(&e);
}

int Clamp(int v, int limit) {
  return std::max(-limit, std::min(v, limit));
}

// A drag moves in steps of four pixels, as a hand would, in at most 1024 steps.
void Replay(IGraphicsCocoa* view, PanelGesture g) {
  g.x = Clamp(g.x, kMaxGesturePixels);
  g.y = Clamp(g.y, kMaxGesturePixels);
  g.dx = Clamp(g.dx, kMaxGesturePixels);
  g.dy = Clamp(g.dy, g.kind == PanelGesture::kWheel ? kMaxWheelSteps : kMaxGesturePixels);
  switch (g.kind) {
    case PanelGesture::kClick:
      Send(view, NSLeftMouseDown, g.x, g.y);
      Send(view, NSLeftMouseUp, g.x, g.y);
      break;
    case PanelGesture::kDoubleClick:
      Send(view, NSLeftMouseDown, g.x, g.y);
      Send(view, NSLeftMouseUp, g.x, g.y);
      Send(view, NSLeftMouseDown, g.x, g.y, 2);
      Send(view, NSLeftMouseUp, g.x, g.y, 2);
      break;
    case PanelGesture::kDrag: {
      Send(view, NSLeftMouseDown, g.x, g.y);
      const long long longest = std::max(std::llabs(g.dx), std::llabs(g.dy));
      const long long steps = std::min(longest / 4 + 1, 1024LL);
      for (long long i = 1; i <= steps; ++i) {
        Send(view, NSLeftMouseDragged, static_cast<int>(g.x + g.dx * i / steps),
             static_cast<int>(g.y + g.dy * i / steps));
      }
      Send(view, NSLeftMouseUp, g.x + g.dx, g.y + g.dy);
      break;
    }
    case PanelGesture::kWheel: {
      NSPoint p = WindowPoint(g.x, g.y);
      NSEvent e = NSEvent::ScrollEvent(p.x, p.y, g.dy);
      view->scrollWheel(&e);
      break;
    }
    case PanelGesture::kHover:
      Send(view, NSMouseMoved, g.x, g.y);
      break;
    case PanelGesture::kType:
      Send(view, NSRightMouseDown, g.x, g.y);
      Send(view, NSRightMouseUp, g.x, g.y);
      if (NSTextField* field = view->textField()) {
        field->setStringValue(g.text.c_str());
        view->controlTextDidEndEditing(field);
      }
      break;
  }
}

bool EncodeScreen(const CGContext& screen, std::vector<unsigned char>* png) {
  Raster_MemBitmap bmp(screen.width, screen.height, 4);
  if (bmp.getWidth() != screen.width) return false;
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < screen.width; ++x) {
      bmp.getBits()[y * bmp.getRowSpan() + x] =
          0xFF000000u | screen.pixels[static_cast<size_t>(y) * screen.width + x];
    }
  }
  return Raster_EncodePNG(&bmp, png);
}

std::string BaseName(const char* file) {
  const char* slash = std::strrchr(file, '/');
  return slash ? slash + 1 : file;
}

// One problem with an image the editor draws, or "" when it loads at its layout size;
// folder names the subfolder of a scale other than 1.  A scaled strip of frames
// (frames > 1) may also have them side by side, as the editor accepts there:
// frames x width by height / frames.
std::string ImageProblem(const NSBundle& bundle, const char* file, int width, int height,
                         const std::string& folder = "", int frames = 1) {
  std::string name = (folder.empty() ? "" : folder + "/") + BaseName(file);
  std::string path = bundle.pathForResource(name.substr(0, name.size() - 4).c_str(), "png");
  if (path.empty()) return name + " is missing";
  std::unique_ptr<Raster_IBitmap> image(Raster_LoadPNG(path.c_str(), nullptr));
  if (!image) return name + " is not a readable PNG";
  if (image->getWidth() == width && image->getHeight() == height) return "";
  const bool sideBySide = !folder.empty() && frames > 1 && height % frames == 0;
  if (sideBySide && image->getWidth() == width * frames && image->getHeight() == height / frames)
    return "";
  std::string problem = name + " is " + std::to_string(image->getWidth()) + " x " +
                        std::to_string(image->getHeight()) + " pixels, not " +
                        std::to_string(width) + " x " + std::to_string(height);
  if (sideBySide)
    problem += " or " + std::to_string(width * frames) + " x " + std::to_string(height / frames);
  return problem;
}

int Scaled(int v, float scale) {
  return static_cast<int>(std::floor(v * scale + 0.5f));
}

// Every image of the layout at a scale, named in one message when any fails.
bool CheckArtwork(const NSBundle& bundle, std::string* error, float scale = 1.0f) {
  using namespace VantroseLayout;
  std::string folder = scale == 1.0f ? "" : (scale == 1.5f ? "1.5x" : "2x");
  std::string problems =
      ImageProblem(bundle, kBackgroundFile, Scaled(kWidth, scale), Scaled(kHeight, scale), folder);
  for (const ControlPlace& c : kControls) {
    const bool knob = c.kind == kKnob;
    const int frames = knob ? kKnobFrames : kSwitchFrames;
    std::string p =
        ImageProblem(bundle, c.file, Scaled(knob ? kKnobSize : kSwitchWidth, scale),
                     Scaled(knob ? kKnobSize : kSwitchHeight, scale) * frames, folder, frames);
    if (!p.empty()) problems += (problems.empty() ? "" : "; ") + p;
  }
  if (problems.empty()) return true;
  *error = "unusable artwork in '" + bundle.bundlePath() + "': " + problems;
  return false;
}

}  // namespace

std::string FindProductRoot() {
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  std::vector<std::string> candidates;
  if (n > 0) {
    exe[n] = '\0';
    std::string dir(exe);
    dir = dir.substr(0, dir.find_last_of('/'));
    // The build folder, the source tree, or the bundle an installed tool sits beside.
    candidates = {dir, dir + "/..", dir + "/../..", dir + "/../lib/lv2/vantrose.lv2"};
  }
  candidates.push_back(".");
  for (const std::string& c : candidates) {
    if (HasArtwork(c)) return c;
  }
  return "";
}

bool RegisterPanelArtwork(const std::string& dir, std::string* error) {
  std::string folder = dir.empty() ? FindProductRoot() : dir;
  if (folder.empty()) {
    *error = "can't find the artwork (resources/img/); use --resources DIR";
    return false;
  }
  if (!HasArtwork(folder) && !IsFile(folder + "/BG.png")) {
    *error = "no BG.png in '" + folder + "' or in its resources/img/";
    return false;
  }
  // Resources are looked up by base name, so the folder may hold the PNGs
  // directly or below resources/img/.
  NSBundle::registerBundle(VantroseIdentity::kBundleID, folder.c_str());
  if (CheckArtwork(*NSBundle::bundleWithIdentifier(VantroseIdentity::kBundleID), error))
    return true;
  NSBundle::unregisterBundle(VantroseIdentity::kBundleID);
  return false;
}

std::vector<std::string> PanelArtworkFiles() {
  std::vector<std::string> files;
  const NSBundle* bundle = NSBundle::bundleWithIdentifier(VantroseIdentity::kBundleID);
  if (!bundle) return files;
  std::vector<const char*> names = {VantroseLayout::kBackgroundFile};
  for (const VantroseLayout::ControlPlace& c : VantroseLayout::kControls)
    names.push_back(c.file);
  for (const char* file : names) {
    std::string name = BaseName(file);
    std::string path = bundle->pathForResource(name.substr(0, name.size() - 4).c_str(), "png");
    if (!path.empty()) files.push_back(path);
  }
  return files;
}

bool RenderPanelSnapshot(const PanelSnapshotRequest& request, std::vector<double>* values,
                         std::string* error) {
  if (request.scale != 1.0f && request.scale != 1.5f && request.scale != 2.0f) {
    *error = "the scale is 1, 1.5 or 2";
    return false;
  }
  // A scale drawn from resampled 1x images would not show the artwork of that scale.
  const NSBundle* bundle = NSBundle::bundleWithIdentifier(VantroseIdentity::kBundleID);
  if (request.scale != 1.0f && (!bundle || !CheckArtwork(*bundle, error, request.scale)))
    return false;
  std::unique_ptr<Vantrose> fx = MakeConfiguredEffect(44100.0, 512, 2, request.settings);
  // The values reach the editor as a host's parameter calls would bring them.
  fx->RedrawParamControls();
  IGraphicsMac* gui = static_cast<IGraphicsMac*>(fx->GetGUI());
  if (!gui) {
    *error = "the effect has no editor";
    return false;
  }
  // The curve as asked, whatever the user's own editor preference.
  VantroseCurve::SetOpen(gui, fx.get(), request.curve, false);
  gEditorHeight = gui->Height();
  NSWindow window;
  window.initWithContentRect(NSMakeRect(0, 0, gui->Width(), gui->Height()), 0, 2, NO);
  window.setBackingScaleFactor(request.scale);
  auto* view = static_cast<IGraphicsCocoa*>(gui->OpenWindow(window.contentView()));
  // The read-out keeps the run loop's time, so its delays pass as frames are run.
  NSRunLoop* loop = NSRunLoop::currentRunLoop();
  for (int i = 0; i < gui->NControls(); ++i) {
    if (auto* overlay = dynamic_cast<VantroseReadoutOverlay*>(gui->GetControl(i)))
      overlay->SetClock([loop] { return loop->now(); });
  }
  const double frame = 1.0 / gui->FPS();
  auto runFrames = [&](int n) {
    for (int i = 0; i < n; ++i) {
      loop->runForSeconds(frame);
      view->displayIfNeeded();
    }
  };
  runFrames(1);
  for (const PanelGesture& g : request.gestures) {
    Replay(view, g);
    runFrames(1);
    // A hover rests long enough for its read-out to appear.
    if (g.kind == PanelGesture::kHover)
      runFrames(static_cast<int>(VantroseReadoutOverlay::kHoverDelay / frame) + 1);
  }
  // Read-outs of the other gestures have gone by the end; two more frames, as a value
  // change stays dirty for two passes.
  const bool hovering =
      !request.gestures.empty() && request.gestures.back().kind == PanelGesture::kHover;
  runFrames(2 + (hovering ? 0 : static_cast<int>(VantroseReadoutOverlay::kLinger / frame) + 1));
  gui->CloseWindow();
  values->clear();
  for (int i = 0; i < fx->NParams(); ++i)
    values->push_back(fx->GetParam(i)->GetValue());
  std::vector<unsigned char> png;
  if (!EncodeScreen(*window.screen(), &png)) {
    *error = "can't encode the panel as PNG";
    return false;
  }
  return WriteWholeFile(request.outPath, png.data(), png.size(), error, PanelArtworkFiles());
}
