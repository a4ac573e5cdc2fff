#include "app/device_choice.h"

#include "app/desk.h"
#include "platform/d3d8/gl_direct3d.h"

namespace velmo {

// The hardware device draws with OpenGL on a window over the desk; where no OpenGL context can
// be had, the Direct3D object offers only the reference device (the software rasteriser), and
// the scene, finding no hardware device, draws the plain view.
Direct3DFactory DeskDirect3DFactory(TDesk& desk) {
    desk.OfferOpenGL();
    return d3d8::OpenGLDirect3DFactory(desk.Handle());
}

}  // namespace velmo
