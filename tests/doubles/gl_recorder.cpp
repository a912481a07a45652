#include "tests/doubles/gl_recorder.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <charconv>
#include <cstring>
#include <initializer_list>

namespace glrec {
namespace {

std::vector<Call>& callList() {
    static std::vector<Call> list;
    return list;
}

std::vector<TexImage>& imageList() {
    static std::vector<TexImage> list;
    return list;
}

GLuint nextTexture = 1;
GLuint boundTexture = 0;
GLint maxTextureSide = kDefaultMaxTextureSize;

void record(const char* name, std::initializer_list<double> args) {
    callList().push_back(Call{name, std::vector<double>(args)});
}

}  // namespace

std::string Call::text() const {
    std::string out = name + "(";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i) out += ", ";
        char buf[64];
        auto result = std::to_chars(buf, buf + sizeof buf, args[i]);
        out.append(buf, result.ptr);
    }
    return out + ")";
}

void reset() {
    callList().clear();
    imageList().clear();
    nextTexture = 1;
    boundTexture = 0;
    maxTextureSide = kDefaultMaxTextureSize;
}

void setMaxTextureSize(int side) { maxTextureSide = side; }

const std::vector<Call>& calls() { return callList(); }

std::vector<std::string> texts() {
    std::vector<std::string> out;
    for (const Call& c : callList()) out.push_back(c.text());
    return out;
}

std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const Call& c : callList()) out.push_back(c.name);
    return out;
}

std::size_t count(const std::string& name) {
    std::size_t n = 0;
    for (const Call& c : callList()) n += c.name == name;
    return n;
}

const std::vector<TexImage>& texImages() { return imageList(); }

}  // namespace glrec

using glrec::record;

void glEnable(GLenum cap) { record("glEnable", {double(cap)}); }
void glDisable(GLenum cap) { record("glDisable", {double(cap)}); }
void glShadeModel(GLenum mode) { record("glShadeModel", {double(mode)}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { record("glClearColor", {r, g, b, a}); }
void glClearDepth(GLclampd depth) { record("glClearDepth", {depth}); }
void glDepthFunc(GLenum func) { record("glDepthFunc", {double(func)}); }
void glHint(GLenum target, GLenum mode) { record("glHint", {double(target), double(mode)}); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { record("glViewport", {double(x), double(y), double(w), double(h)}); }
void glMatrixMode(GLenum mode) { record("glMatrixMode", {double(mode)}); }
void glLoadIdentity(void) { record("glLoadIdentity", {}); }
void glClear(GLbitfield mask) { record("glClear", {double(mask)}); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", {x, y, z}); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { record("glRotatef", {angle, x, y, z}); }
void glScaled(GLdouble x, GLdouble y, GLdouble z) { record("glScaled", {x, y, z}); }
void glPushMatrix(void) { record("glPushMatrix", {}); }
void glPopMatrix(void) { record("glPopMatrix", {}); }
void glAlphaFunc(GLenum func, GLclampf ref) { record("glAlphaFunc", {double(func), ref}); }
void glBlendFunc(GLenum src, GLenum dst) { record("glBlendFunc", {double(src), double(dst)}); }
void glBegin(GLenum mode) { record("glBegin", {double(mode)}); }
void glEnd(void) { record("glEnd", {}); }
void glTexCoord2d(GLdouble s, GLdouble t) { record("glTexCoord2d", {s, t}); }
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) { record("glVertex3d", {x, y, z}); }
void glTexEnvi(GLenum target, GLenum pname, GLint param) { record("glTexEnvi", {double(target), double(pname), double(param)}); }
void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    record("glTexParameteri", {double(target), double(pname), double(param)});
}
void glGetIntegerv(GLenum pname, GLint* params) {
    record("glGetIntegerv", {double(pname)});
    *params = pname == GL_MAX_TEXTURE_SIZE ? glrec::maxTextureSide : 0;
}
void glPixelStorei(GLenum pname, GLint param) { record("glPixelStorei", {double(pname), double(param)}); }

void glBindTexture(GLenum target, GLuint texture) {
    record("glBindTexture", {double(target), double(texture)});
    if (target == GL_TEXTURE_2D) glrec::boundTexture = texture;
}

void glGenTextures(GLsizei n, GLuint* textures) {
    record("glGenTextures", {double(n)});
    for (GLsizei i = 0; i < n; ++i) textures[i] = glrec::nextTexture++;
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
    record("glTexImage2D", {double(target), double(level), double(internalFormat), double(width), double(height),
                            double(border), double(format), double(type)});
    if (format == GL_RGBA && type == GL_UNSIGNED_BYTE && pixels && width > 0 && height > 0) {
        glrec::TexImage image{glrec::boundTexture, width, height, {}};
        const auto* bytes = static_cast<const unsigned char*>(pixels);
        image.rgba.assign(bytes, bytes + std::size_t(width) * std::size_t(height) * 4);
        glrec::imageList().push_back(std::move(image));
    }
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    record("gluPerspective", {fovy, aspect, zNear, zFar});
}

extern "C" void SDL_GL_SwapBuffers(void) { record("SDL_GL_SwapBuffers", {}); }

// The overlay text: bitmaps are recorded with their size, origin and move,
// and the number of pixels they set (rows of ceil(width / 8) bytes, as the
// overlay stores them with an unpack alignment of 1).
void glPushAttrib(GLbitfield mask) { record("glPushAttrib", {double(mask)}); }
void glPopAttrib(void) { record("glPopAttrib", {}); }
void glPushClientAttrib(GLbitfield mask) { record("glPushClientAttrib", {double(mask)}); }
void glPopClientAttrib(void) { record("glPopClientAttrib", {}); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", {r, g, b}); }
void glRasterPos2f(GLfloat x, GLfloat y) { record("glRasterPos2f", {x, y}); }
void glBitmap(GLsizei w, GLsizei h, GLfloat xorig, GLfloat yorig, GLfloat xmove, GLfloat ymove, const GLubyte* bits) {
    int set = 0;
    for (GLsizei i = 0; bits != nullptr && i < (w + 7) / 8 * h; ++i)
        for (int b = 0; b < 8; ++b) set += (bits[i] >> b) & 1;
    record("glBitmap", {double(w), double(h), xorig, yorig, xmove, ymove, double(set)});
}
