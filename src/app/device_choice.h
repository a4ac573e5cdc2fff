#pragma once
// The one place that decides what the desk draws with. The scene asks the Direct3D object for
// a hardware device first and falls back to the reference device on its own.

#include "view/scene.h"

namespace velmo {

class TDesk;

// The Direct3DCreate8 the scene on this desk uses.
Direct3DFactory DeskDirect3DFactory(TDesk& desk);

}  // namespace velmo
