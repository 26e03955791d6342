// How a host gets the editor's view: the Cocoa view factory through the
// plug-in object property, and the Carbon view component.

#include <gtest/gtest.h>

#include "AUTestHost.h"
#include "IGraphicsCocoa.h"
#include "IGraphicsMac.h"
#include "IPluginAU_ViewFactory.h"
#include "Vantrose.h"

namespace {

TEST(CocoaViewFactory, IdentifiesItself) {
  Vantrose_View factory;
  EXPECT_EQ(factory.init(), &factory);
  EXPECT_EQ(factory.plug(), nullptr);
  EXPECT_EQ(factory.interfaceVersion(), 0u);
  EXPECT_STREQ(factory.description(), "Vantrose View");
}

TEST(CocoaViewFactory, OpensTheEditorsViewForTheHost) {
  AUHost unit(EffectComponent(Route::kFactory));
  Vantrose_View factory;
  factory.init();
  NSSize anySize;
  anySize.width = 10;
  anySize.height = 10;
  NSView* view = factory.uiViewForAudioUnit(unit.Get(), anySize);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(factory.plug(), unit.Plug());
  EXPECT_EQ(view->frame().size.width, 774);  // the requested size is ignored
  EXPECT_EQ(view->frame().size.height, 237);
  IGraphics* gui = static_cast<IGraphics*>(unit.Plug()->GetGUI());
  EXPECT_EQ(gui->GetWindow(), view);

  NSWindow hostWindow;
  hostWindow.initWithContentRect(NSMakeRect(0, 0, 800, 300), 0, 2, NO);
  hostWindow.contentView()->addSubview(view);
  EXPECT_EQ(hostWindow.firstResponder(), view);
  view->removeFromSuperview();  // the host closes its window
  EXPECT_EQ(gui->GetWindow(), nullptr);
  // A second request opens a fresh view on the same editor.
  NSView* again = factory.uiViewForAudioUnit(unit.Get(), anySize);
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(gui->GetWindow(), again);
}

// The host's whole path: the Cocoa UI property names the factory class, the
// host makes it and asks it for the view.
TEST(CocoaViewFactory, HostFindsTheFactoryThroughTheCocoaUIProperty) {
  cfstandin::RegisterBundle(VantroseIdentity::kBundleID,
                            "/Library/Audio/Plug-Ins/Vantrose.component");
  AUHost unit(EffectComponent(Route::kFactory));
  AudioUnitCocoaViewInfo info = {};
  UInt32 size = sizeof info;
  ASSERT_EQ(AudioUnitGetProperty(unit.Get(), kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0,
                                 &info, &size),
            noErr);
  char name[64] = "";
  CFStringGetCString(info.mCocoaAUViewClass[0], name, sizeof name, kCFStringEncodingUTF8);
  EXPECT_STREQ(name, "Vantrose_View");
  CFRelease(info.mCocoaAUViewClass[0]);
  CFRelease(info.mCocoaAUViewBundleLocation);
  Vantrose_View factory;
  NSSize preferred;
  EXPECT_NE(factory.init()->uiViewForAudioUnit(unit.Get(), preferred), nullptr);
}

TEST(CocoaViewFactory, UnitsWithoutAnEditorOrAPlugInGetNoView) {
  AUHost bare(TestAUComponent());
  Vantrose_View factory;
  factory.init();
  NSSize size;
  EXPECT_EQ(factory.uiViewForAudioUnit(bare.Get(), size), nullptr);
  EXPECT_EQ(factory.plug(), bare.Plug());
  EXPECT_EQ(factory.uiViewForAudioUnit(nullptr, size), nullptr);
}

ComponentParameters Call(SInt16 what, std::initializer_list<long> args) {
  ComponentParameters p = {};
  p.what = what;
  int i = 0;
  for (long a : args)
    p.params[i++] = a;
  return p;
}

TEST(CarbonViewEntry, OpensCreatesAndCloses) {
  ComponentDescription desc = {kAudioUnitCarbonViewComponentType,
                               static_cast<OSType>(VantroseIdentity::kUniqueID),
                               static_cast<OSType>(VantroseIdentity::kMfrID), 0, 0};
  static AudioComponent component =
      RegisterComponentEntry(&desc, Vantrose_ViewEntry, "Kelvorin: Vantrose View", 0x30000);
  AUHost effect(EffectComponent(Route::kEntry));
  AUHost bare(TestAUComponent());

  ComponentInstance ci = nullptr;
  ASSERT_EQ(AudioComponentInstanceNew(component, &ci), noErr);
  void* storage = GetComponentInstanceStorage(ci);
  ASSERT_NE(storage, nullptr);

  void* control = reinterpret_cast<void*>(0x1);
  ComponentParameters create =
      Call(kAudioUnitCarbonViewCreateSelect,
           {ToComponentParam(effect.Get()), 0, 0, 0, 0, ToComponentParam(&control)});
  EXPECT_EQ(Vantrose_ViewEntry(&create, storage), noErr);
  EXPECT_EQ(control, nullptr);  // no Carbon windows on this platform

  ComponentParameters withoutEditor =
      Call(kAudioUnitCarbonViewCreateSelect,
           {ToComponentParam(bare.Get()), 0, 0, 0, 0, ToComponentParam(&control)});
  EXPECT_EQ(Vantrose_ViewEntry(&withoutEditor, storage), badComponentSelector);
  ComponentParameters other = Call(42, {});
  EXPECT_EQ(Vantrose_ViewEntry(&other, storage), badComponentSelector);
  EXPECT_EQ(AudioComponentInstanceDispose(ci), noErr);
}

}  // namespace
