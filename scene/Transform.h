// Placement of a piece of the scene: a position, three rotation angles and
// three scale factors, and the OpenGL calls that put them on the current
// modelview matrix.
//
// Each SceneNode carries one as its fixed placement; each Animator carries one
// that its actions rebuild every frame. Values are doubles; they are narrowed
// to float only at the glTranslatef / glRotatef call.
//
//   Transform t;
//   t.setPosition(0, 0, 10);
//   t.rotate(0, 30, 0);
//   t.applyTranslateRotate();   // glTranslatef(0, 0, 10), glRotatef(30, 0, 1, 0)
#pragma once

struct Vector3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

class Transform {
public:
    Transform();

    // Position and rotation back to 0, scale back to 1; `scaled` is kept.
    void reset();
    bool isScaled() const { return scaled; }

    void setPosition(double x, double y, double z);
    void translate(double dx, double dy, double dz);
    void setRotation(double x, double y, double z);
    void rotate(double dx, double dy, double dz);
    // Sets the scale and marks the placement as scaled.
    void setScale(double x, double y, double z);

    // glTranslatef with the position (always), then glRotatef about X, Y and Z
    // for each angle that is not equal to 0 (NaN counts as not equal).
    void applyTranslateRotate() const;
    // glScaled with the scale factors; kept apart so that a node can scale its
    // own meshes without scaling its children.
    void applyScale() const;

    bool scaled;
    Vector3 position;
    Vector3 rotation;
    Vector3 scale;
};
