#include "PanelSnapshot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "AppKit.h"
#include "IGraphicsCocoa.h"
#include "IGraphicsMac.h"
#include "Raster_MemBitmap.h"
#include "Raster_PNGWrite.h"
#include "VantroseLayout.h"

namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool HasArtwork(const std::string& root) {
  return IsFile(root + "/resources/img/BG.png");
}

// Window coordinates of an editor pixel, the inverse of the view's mouse mapping.
NSPoint WindowPoint(int x, int y) {
  return NSMakePoint(x + 2, VantroseLayout::kHeight - y - 3);
}

void Send(IGraphicsCocoa_vVantrose_au* view, NSEventType type, int x, int y, int clicks = 1) {
  NSPoint p = WindowPoint(x, y);
  NSEvent e = NSEvent::MouseEvent(type, p.x, p.y, 0, clicks);
  if (type == NSLeftMouseDown) view->mouseDown(&e);
  if (type == NSLeftMouseUp) view->mouseUp(&e);
  if (type == NSLeftMouseDragged) view->mouseDragged(&e);
}

// A drag moves in steps of at most four pixels, as a hand would.
void Replay(IGraphicsCocoa_vVantrose_au* view, const PanelGesture& g) {
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
      int steps = std::max(std::abs(g.dx), std::abs(g.dy)) / 4 + 1;
      for (int i = 1; i <= steps; ++i) {
        Send(view, NSLeftMouseDragged, g.x + g.dx * i / steps, g.y + g.dy * i / steps);
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
  }
}

bool WriteScreen(const CGContext& screen, const std::string& path) {
  Raster_MemBitmap bmp(screen.width, screen.height, 4);
  if (bmp.getWidth() != screen.width) return false;
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < screen.width; ++x) {
      bmp.getBits()[y * bmp.getRowSpan() + x] =
          0xFF000000u | screen.pixels[static_cast<size_t>(y) * screen.width + x];
    }
  }
  return Raster_WritePNG(path.c_str(), &bmp);
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
    candidates = {dir, dir + "/..", dir + "/../.."};
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
  return true;
}

bool RenderPanelSnapshot(const PanelSnapshotRequest& request, std::vector<double>* values,
                         std::string* error) {
  std::unique_ptr<Vantrose> fx = MakeConfiguredEffect(44100.0, 512, 2, request.settings);
  // The values reach the editor as a host's parameter calls would bring them.
  fx->RedrawParamControls();
  IGraphicsMac* gui = static_cast<IGraphicsMac*>(fx->GetGUI());
  if (!gui) {
    *error = "the effect has no editor";
    return false;
  }
  NSWindow window;
  window.initWithContentRect(NSMakeRect(0, 0, gui->Width(), gui->Height()), 0, 2, NO);
  auto* view = static_cast<IGraphicsCocoa_vVantrose_au*>(gui->OpenWindow(window.contentView()));
  double frame = 1.0 / gui->FPS();
  NSRunLoop::currentRunLoop()->runForSeconds(frame);
  view->displayIfNeeded();
  for (const PanelGesture& g : request.gestures) {
    Replay(view, g);
    NSRunLoop::currentRunLoop()->runForSeconds(frame);
    view->displayIfNeeded();
  }
  // Two more frames: a value change stays dirty for two passes.
  for (int i = 0; i < 2; ++i) {
    NSRunLoop::currentRunLoop()->runForSeconds(frame);
    view->displayIfNeeded();
  }
  gui->CloseWindow();
  values->clear();
  for (int i = 0; i < fx->NParams(); ++i)
    values->push_back(fx->GetParam(i)->GetValue());
  if (!WriteScreen(*window.screen(), request.outPath)) {
    *error = "can't write '" + request.outPath + "'";
    return false;
  }
  return true;
}
