// The fast render, written once and compiled once per instruction set: each including
// file defines VANTROSE_KERNEL_TARGET (a target attribute, or nothing for the
// baseline), and VANTROSE_KERNEL_PAIRS where a register holds two doubles, and then
// returns kKernels as its path's entry points.
//
// What differs from the plain chain is only around its operations:
//  - the saturation stage runs its up- and down-filters with the down-filter one frame
//    behind, so the shaper sits off the recursion (RenderSatLanes.h in four-lane
//    registers, RenderSatPairs.h in pairs of two-lane ones, over RenderSteps.h);
//  - the next run's saturation is woven into this run's band stage, so the two
//    independent recursions overlap;
//  - the other stages run both channels in the two lanes of a vector, state in locals
//    (RenderBands.h); with eight doubles to a register (VANTROSE_KERNEL_EIGHT) the three
//    bands share one register, each a little behind the one before (RenderBandLanes.h);
//  - the host-rate stages of the next frame are spread over the band steps as well.
#pragma once

#include "RenderBands.h"
#include "RenderPaths.h"
#include "RenderSteps.h"
#include "VantroseChain.h"

#ifdef VANTROSE_KERNEL_PAIRS
#include "RenderSatPairs.h"
#else
#include "RenderSatLanes.h"
#endif
#ifdef VANTROSE_KERNEL_EIGHT
#include "RenderBandLanes.h"
#endif

namespace {

// The saturation and band layouts of this instruction set.
#ifdef VANTROSE_KERNEL_PAIRS
template <int N>
using Saturation = SatPairs<N>;
using Bands = BandPairs;
#else
template <int N>
using Saturation = SatLanes<N>;
#ifdef VANTROSE_KERNEL_EIGHT
using Bands = BandLanes;
#else
// Sixteen four-lane registers cannot hold the eight-lane bands beside the saturation
// stage; the two-lane bands measure faster there.
using Bands = BandPairs;
#endif
#endif

// Feeds the saturation stage frame by frame: call m advances the up-filters by frame m
// and the down-filters by frame m − 1 (m = 0 .. nFrames), so frame i's saturation
// output comes from call i + 1 and lands in a small ring.  A regular frame can also be
// spread over the eight band steps of a frame (Weave, then At<0> .. At<7>, Finish).
template <int N>
struct SatFeed {
  static constexpr int kRing = 8;
  Saturation<N> sat;
  const double* inL;
  const double* inR;
  int nFrames;
  int m = 0;
  bool weaving = false;
  // The ring is an object of its own: indexed at run time inside the feed, it would keep
  // the saturation filters' histories in memory too.
  struct Ring {
    V2 v[kRing];
  };
  V2* out = nullptr;

  VANTROSE_KERNEL void Next() {
    if (m == 0) {
      sat.FirstFrame(V2{inL[0], inR[0]} * kSatDrive);
    } else if (m < nFrames) {
      out[(m - 1) % kRing] = sat.Frame(V2{inL[m], inR[m]} * kSatDrive);
    } else {
      out[(m - 1) % kRing] = sat.LastFrame();
    }
    ++m;
  }
  // Runs the feed through call last.
  VANTROSE_KERNEL void Until(int last) {
    while (m <= last)
      Next();
  }

  // Starts a woven frame when call m is due by call last and is a regular frame;
  // otherwise a due first or last frame runs whole after the band steps (Finish).
  VANTROSE_KERNEL void Weave(int last) {
    weaving = m > 0 && m < nFrames && m <= last;
    if (weaving) sat.upIn = V2{inL[m], inR[m]} * kSatDrive;
  }
  template <int p>
  VANTROSE_KERNEL void At() {
    if (weaving) Run<p>();
  }
  template <int p>
  VANTROSE_KERNEL void Run() {
#pragma GCC unroll 16
    for (int j = p * N / 8; j < (p + 1) * N / 8; ++j)
      sat.SubStep(j);
  }
  // The weave of a frame known to be regular and due, without the test at every band
  // step: where the sub-steps may or may not have run, the histories have to meet in
  // one place after each band step, and beside the bands that place is the stack.
  struct Steady {
    SatFeed& feed;
    template <int p>
    VANTROSE_KERNEL void At() {
      feed.template Run<p>();
    }
  };
  // Starts and ends such a frame (call m regular, m <= last).
  VANTROSE_KERNEL void Start() {
    sat.upIn = V2{inL[m], inR[m]} * kSatDrive;
  }
  VANTROSE_KERNEL void End() {
    out[(m - 1) % kRing] = sat.firstDown;
    ++m;
  }
  VANTROSE_KERNEL void Finish(int last) {
    if (weaving) {
      out[(m - 1) % kRing] = sat.firstDown;
      ++m;
    } else if (m <= last) {
      Next();
    }
  }
};

// Frame i of a block, whichever it is: the saturation feed woven into its band steps
// where a regular frame is due, the host-rate stages of frame i + 1 where there is one.
template <class Feed>
VANTROSE_KERNEL void AnyFrame(Feed& feed, HostStages& host, Bands& bands, const ChainControls& c,
                              double** outputs, int nFrames, int i, V2& low) {
  const V2 x = {feed.inL[i], feed.inR[i]};
  const bool hostDue = i + 1 < nFrames;
  if (hostDue) host.Begin(V2{feed.inL[i + 1], feed.inR[i + 1]}, feed.out[(i + 1) % Feed::kRing]);
  feed.Weave(nFrames);
  host.Due(c, hostDue);
  bands.Frame(c, low, x, outputs, i, feed, host);
  feed.Finish(nFrames);
  low = host.lowOut;
}

// The block, three recursions in flight: the saturation runs two frames ahead of the
// host-rate stages, spread over the band steps of the frame before, and the host-rate
// stages run a frame ahead of the bands.
template <int N>
VANTROSE_KERNEL_TARGET __attribute__((noinline)) void RenderKernelBlock(
    VantroseChain& ch, const ChainControls& c, double** inputs, double** outputs, int nFrames) {
  using Feed = SatFeed<N>;
  constexpr int kLead = 2;
  Feed feed;
  typename Feed::Ring ring;
  feed.out = ring.v;
  feed.inL = inputs[0];
  feed.inR = inputs[1];
  feed.nFrames = nFrames;
  typename Saturation<N>::Coeffs coeffs;
  feed.sat.Load(ch, coeffs);
  HostStages host;
  host.Load(ch);
  OversamplerLanes::Buffer buffer;
  Bands bands;
  bands.Load(ch, buffer);
  feed.Until(nFrames < kLead ? nFrames : kLead);
  V2 low = host.Frame(c, V2{feed.inL[0], feed.inR[0]}, feed.out[0]);
  // Frame i starts with call m = i + kLead + 1 due, so every frame but the first and
  // the last kLead + 1 weaves a regular saturation frame and has a next host frame:
  // those run without testing either.
  const int steadyEnd = nFrames - kLead - 1;
  AnyFrame(feed, host, bands, c, outputs, nFrames, 0, low);
  int i = 1;
  typename Feed::Steady steadyFeed{feed};
  HostStages::Steady steadyHost{host};
  host.controls = &c;
  for (; i < steadyEnd; ++i) {
    host.Begin(V2{feed.inL[i + 1], feed.inR[i + 1]}, feed.out[(i + 1) % Feed::kRing]);
    feed.Start();
    bands.Later(c, low, V2{feed.inL[i], feed.inR[i]}, outputs, i, steadyFeed, steadyHost);
    feed.End();
    low = host.lowOut;
  }
  for (; i < nFrames; ++i)
    AnyFrame(feed, host, bands, c, outputs, nFrames, i, low);
  bands.Finish(c, outputs, nFrames);
  feed.Until(nFrames);
  feed.sat.Store(ch);
  host.Store(ch);
  bands.Store(ch);
  const V2 lastOut = feed.out[(nFrames - 1) % Feed::kRing];
  ch.mSatIn[0] = feed.inL[nFrames - 1] * kSatDrive;
  ch.mSatIn[1] = feed.inR[nFrames - 1] * kSatDrive;
  ch.mSatOut[0] = lastOut[0];
  ch.mSatOut[1] = lastOut[1];
}

// The saturation stage alone over a block, for stage timing: as the block render runs
// it, without the stages after it.
template <int N>
VANTROSE_KERNEL_TARGET __attribute__((noinline)) void SaturationBlock(VantroseChain& ch,
                                                                      double** inputs,
                                                                      int nFrames) {
  SatFeed<N> feed;
  typename SatFeed<N>::Ring ring;
  feed.out = ring.v;
  feed.inL = inputs[0];
  feed.inR = inputs[1];
  feed.nFrames = nFrames;
  typename Saturation<N>::Coeffs coeffs;
  feed.sat.Load(ch, coeffs);
  feed.Until(nFrames);
  feed.sat.Store(ch);
}

// The stages after the saturation alone over a block, for stage timing: as the block
// render runs them, on a silent saturation output.
VANTROSE_KERNEL_TARGET __attribute__((noinline)) void BandBlock(VantroseChain& ch,
                                                                const ChainControls& c,
                                                                double** inputs, double** outputs,
                                                                int nFrames) {
  HostStages host;
  host.Load(ch);
  OversamplerLanes::Buffer buffer;
  Bands bands;
  bands.Load(ch, buffer);
  V2 low = host.Frame(c, V2{inputs[0][0], inputs[1][0]}, V2{0.0, 0.0});
  for (int i = 0; i < nFrames; ++i) {
    const V2 x = {inputs[0][i], inputs[1][i]};
    const bool hostDue = i + 1 < nFrames;
    if (hostDue) host.Begin(V2{inputs[0][i + 1], inputs[1][i + 1]}, V2{0.0, 0.0});
    host.Due(c, hostDue);
    bands.Frame(c, low, x, outputs, i, host);
    low = host.lowOut;
  }
  bands.Finish(c, outputs, nFrames);
  host.Store(ch);
  bands.Store(ch);
}

// The path's entry points (RenderPaths.h): both saturation factors; the caller has
// checked that the factor is 4 or 16 and that the block is not empty.
VANTROSE_KERNEL_TARGET void KernelRender(VantroseChain& ch, const ChainControls& c, double** inputs,
                                         double** outputs, int nFrames) {
  if (c.satFactor == 16) {
    RenderKernelBlock<16>(ch, c, inputs, outputs, nFrames);
  } else {
    RenderKernelBlock<4>(ch, c, inputs, outputs, nFrames);
  }
}

VANTROSE_KERNEL_TARGET void KernelSaturation(VantroseChain& ch, const ChainControls& c,
                                             double** inputs, int nFrames) {
  if (c.satFactor == 16) {
    SaturationBlock<16>(ch, inputs, nFrames);
  } else {
    SaturationBlock<4>(ch, inputs, nFrames);
  }
}

constexpr RenderPathKernels kKernels = {KernelRender, KernelSaturation, BandBlock};

}  // namespace
