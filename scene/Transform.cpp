#include "scene/Transform.h"

#include <GL/gl.h>

Transform::Transform() {
    reset();
    scaled = false;
}

void Transform::reset() {
    position = {0.0, 0.0, 0.0};
    rotation = {0.0, 0.0, 0.0};
    scale = {1.0, 1.0, 1.0};
}

void Transform::setPosition(double x, double y, double z) { position = {x, y, z}; }

void Transform::translate(double dx, double dy, double dz) {
    position.x += dx;
    position.y += dy;
    position.z += dz;
}

void Transform::setRotation(double x, double y, double z) { rotation = {x, y, z}; }

void Transform::rotate(double dx, double dy, double dz) {
    rotation.x += dx;
    rotation.y += dy;
    rotation.z += dz;
}

void Transform::setScale(double x, double y, double z) {
    scale = {x, y, z};
    scaled = true;
}

void Transform::applyTranslateRotate() const {
    glTranslatef(static_cast<GLfloat>(position.x), static_cast<GLfloat>(position.y),
                 static_cast<GLfloat>(position.z));
    // `!= 0.0` rather than a truthiness test written some other way: NaN must
    // pass (it compares unequal) and -0.0 must not (it compares equal).
    if (rotation.x != 0.0) glRotatef(static_cast<GLfloat>(rotation.x), 1.0f, 0.0f, 0.0f);
    if (rotation.y != 0.0) glRotatef(static_cast<GLfloat>(rotation.y), 0.0f, 1.0f, 0.0f);
    if (rotation.z != 0.0) glRotatef(static_cast<GLfloat>(rotation.z), 0.0f, 0.0f, 1.0f);
}

void Transform::applyScale() const { glScaled(scale.x, scale.y, scale.z); }
