#pragma once

// Names that share one namespace with every other plug-in in a host process (native
// view classes, the view factory class, exported view entries) carry the product's
// word, so two products built on this framework never collide.  PLUG_NAME is the
// product's word, given by the build from the product's identity.
#ifndef PLUG_NAME
#error "PLUG_NAME names the product; the build sets it"
#endif

#define PLUG_JOIN2(a, b) a##b
#define PLUG_JOIN(a, b) PLUG_JOIN2(a, b)
#define PLUG_STR2(a) #a
#define PLUG_STR(a) PLUG_STR2(a)

// A native class name: base, the product word and the interface, e.g. base_vName_au.
#define PLUG_COCOA_NAME(base) PLUG_JOIN(PLUG_JOIN(PLUG_JOIN(base, _v), PLUG_NAME), _au)
