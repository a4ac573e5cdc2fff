#pragma once
// Internal: the OpenGL 2.1 entry points the OpenGL device calls, looked up through the desk's
// context (IGLContext::GetProcAddress) rather than linked: the library then builds and runs
// without an OpenGL library, and a context that lacks an entry point is found out before any
// drawing instead of at load time. <GL/gl.h> is included for its types and constants only.

#include <GL/gl.h>

#include "platform/d3d8/window.h"

namespace velmo::d3d8::detail {

// X(name without the "gl" prefix, result type, parameter list)
#define VELMO_GL_FUNCTIONS(X)                                                                  \
    X(GetError, GLenum, (void))                                                                \
    X(GetString, const GLubyte*, (GLenum))                                                     \
    X(GetIntegerv, void, (GLenum, GLint*))                                                     \
    X(Enable, void, (GLenum))                                                                  \
    X(Disable, void, (GLenum))                                                                 \
    X(Viewport, void, (GLint, GLint, GLsizei, GLsizei))                                        \
    X(Scissor, void, (GLint, GLint, GLsizei, GLsizei))                                         \
    X(DepthRange, void, (GLclampd, GLclampd))                                                  \
    X(ClearColor, void, (GLclampf, GLclampf, GLclampf, GLclampf))                              \
    X(ClearDepth, void, (GLclampd))                                                            \
    X(Clear, void, (GLbitfield))                                                               \
    X(ColorMask, void, (GLboolean, GLboolean, GLboolean, GLboolean))                           \
    X(DepthMask, void, (GLboolean))                                                            \
    X(DepthFunc, void, (GLenum))                                                               \
    X(FrontFace, void, (GLenum))                                                               \
    X(CullFace, void, (GLenum))                                                                \
    X(BlendFunc, void, (GLenum, GLenum))                                                       \
    X(AlphaFunc, void, (GLenum, GLclampf))                                                     \
    X(MatrixMode, void, (GLenum))                                                              \
    X(LoadIdentity, void, (void))                                                              \
    X(EnableClientState, void, (GLenum))                                                       \
    X(VertexPointer, void, (GLint, GLenum, GLsizei, const GLvoid*))                            \
    X(ColorPointer, void, (GLint, GLenum, GLsizei, const GLvoid*))                             \
    X(TexCoordPointer, void, (GLint, GLenum, GLsizei, const GLvoid*))                          \
    X(DrawArrays, void, (GLenum, GLint, GLsizei))                                              \
    X(GenTextures, void, (GLsizei, GLuint*))                                                   \
    X(DeleteTextures, void, (GLsizei, const GLuint*))                                          \
    X(BindTexture, void, (GLenum, GLuint))                                                     \
    X(TexImage2D, void,                                                                        \
      (GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*))          \
    X(TexParameteri, void, (GLenum, GLenum, GLint))                                            \
    X(TexEnvi, void, (GLenum, GLenum, GLint))                                                  \
    X(TexEnvfv, void, (GLenum, GLenum, const GLfloat*))                                        \
    X(PixelStorei, void, (GLenum, GLint))                                                      \
    X(ReadBuffer, void, (GLenum))                                                              \
    X(DrawBuffer, void, (GLenum))                                                              \
    X(ReadPixels, void, (GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid*))             \
    X(DrawPixels, void, (GLsizei, GLsizei, GLenum, GLenum, const GLvoid*))                     \
    X(WindowPos2i, void, (GLint, GLint))

struct GlFunctions {
#define VELMO_GL_MEMBER(name, result, params) result(APIENTRY* name) params = nullptr;
    VELMO_GL_FUNCTIONS(VELMO_GL_MEMBER)
#undef VELMO_GL_MEMBER

    // Looks every entry point up; false when any is missing. The context need not be current.
    bool Load(IGLContext& context);
};

// Whether the current context's GL_VERSION ("major.minor ...") is at least major.minor.
bool HasVersion(const GlFunctions& gl, int major, int minor);

}  // namespace velmo::d3d8::detail
