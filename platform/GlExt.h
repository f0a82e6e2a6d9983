#pragma once
// OpenGL with the prototypes of its extensions (framebuffer objects, blits,
// the combiner constants) for the Direct3D stand-ins' core. Include it
// before anything else that brings OpenGL.

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
