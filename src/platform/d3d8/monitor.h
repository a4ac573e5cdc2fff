#pragma once
// Internal: how the software objects report a call to the options' CallMonitor, if any.

#include <memory>

#include "platform/d3d8/software_device.h"

namespace velmo::d3d8::detail {

// Counts the call and returns the injected failure, or S_OK; S_OK without a monitor.
inline HRESULT Enter(const std::shared_ptr<CallMonitor>& monitor, Call call) {
    return monitor ? monitor->Enter(call) : S_OK;
}

}  // namespace velmo::d3d8::detail
