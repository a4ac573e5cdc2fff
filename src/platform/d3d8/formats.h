#pragma once
// Internal: the back-buffer formats and their stored bytes. Decoding (DecodePixel) and the bytes
// per pixel (BytesPerPixel) are public, in software_device.h; encoding and the row pitch are
// only needed by the device.

#include <cstdint>

#include "platform/d3d8/d3d8types.h"

namespace velmo::d3d8::detail {

// The formats a back buffer (and so the display mode) can have.
bool IsBackBufferFormat(D3DFORMAT f);

// Writes the 0xAARRGGBB colour c in `format` to out (BytesPerPixel(format) bytes); writes
// nothing for formats we do not support.
void EncodePixel(std::uint32_t c, D3DFORMAT format, std::uint8_t* out);

// Bytes from one row of a `width`-pixel surface in `format` to the next.
int PitchFor(int width, D3DFORMAT format);

}  // namespace velmo::d3d8::detail
