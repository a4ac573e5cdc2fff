#include "platform/d3d8/gl_functions.h"

#include <cstdlib>

namespace velmo::d3d8::detail {

bool GlFunctions::Load(IGLContext& context) {
    bool complete = true;
#define VELMO_GL_LOAD(name, result, params)                                              \
    name = reinterpret_cast<decltype(name)>(context.GetProcAddress("gl" #name));          \
    complete = complete && name != nullptr;
    VELMO_GL_FUNCTIONS(VELMO_GL_LOAD)
#undef VELMO_GL_LOAD
    return complete;
}

bool HasVersion(const GlFunctions& gl, int major, int minor) {
    const auto* text = reinterpret_cast<const char*>(gl.GetString(GL_VERSION));
    if (!text) return false;
    char* end = nullptr;
    const long have = std::strtol(text, &end, 10);
    if (end == text || *end != '.') return false;
    const long haveMinor = std::strtol(end + 1, nullptr, 10);
    return have > major || (have == major && haveMinor >= minor);
}

}  // namespace velmo::d3d8::detail
