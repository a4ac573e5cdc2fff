#include "app/device_choice.h"

#include "app/desk.h"
#include "platform/d3d8/software_device.h"

namespace velmo {

// No hardware device exists yet: the software rasteriser serves as the reference device, and
// the scene, finding no hardware device, draws the plain view.
Direct3DFactory DeskDirect3DFactory(TDesk&) {
    d3d8::SoftwareDeviceOptions options;
    options.displayFormat = D3DFMT_X8R8G8B8;
    return d3d8::SoftwareDirect3DFactory(options);
}

}  // namespace velmo
