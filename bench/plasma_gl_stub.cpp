// The OpenGL entry points Plasma calls, doing nothing: the benchmark measures
// the painting of the image, not a driver's texture upload.
#include <GL/gl.h>

void glGenTextures(GLsizei n, GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i) textures[i] = static_cast<GLuint>(i + 1);
}
void glBindTexture(GLenum, GLuint) {}
void glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*) {}
void glTexEnvi(GLenum, GLenum, GLint) {}
void glTexParameteri(GLenum, GLenum, GLint) {}
