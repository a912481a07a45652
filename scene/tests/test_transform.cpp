// Transform: stored values and the exact OpenGL calls it issues.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/Transform.h"
#include "tests/doubles/gl_recorder.h"

namespace {
std::vector<std::string> translateRotateCalls(const Transform& t) {
    glrec::reset();
    t.applyTranslateRotate();
    return glrec::texts();
}
}  // namespace

TEST(Transform, FreshTransformIssuesOnlyAZeroTranslation) {
    Transform t;
    EXPECT_FALSE(t.isScaled());
    EXPECT_EQ(translateRotateCalls(t), (std::vector<std::string>{"glTranslatef(0, 0, 0)"}));
    glrec::reset();
    t.applyScale();
    EXPECT_EQ(glrec::texts(), (std::vector<std::string>{"glScaled(1, 1, 1)"}));
}

TEST(Transform, RotationsOnlyForNonZeroAnglesInXYZOrder) {
    Transform t;
    t.setRotation(0, 0, 45);
    EXPECT_EQ(translateRotateCalls(t), (std::vector<std::string>{"glTranslatef(0, 0, 0)", "glRotatef(45, 0, 0, 1)"}));

    t.setRotation(-10, 20, 30);
    t.setPosition(1, 2, 3);
    EXPECT_EQ(translateRotateCalls(t), (std::vector<std::string>{"glTranslatef(1, 2, 3)", "glRotatef(-10, 1, 0, 0)",
                                                                 "glRotatef(20, 0, 1, 0)", "glRotatef(30, 0, 0, 1)"}));

    // -0 compares equal to 0 and issues nothing; NaN compares unequal and is passed on.
    t.setPosition(0, 0, 0);
    t.setRotation(-0.0, std::nan(""), -0.0);
    auto calls = translateRotateCalls(t);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(glrec::calls()[1].name, "glRotatef");
    EXPECT_TRUE(std::isnan(glrec::calls()[1].args[0]));
    EXPECT_EQ(glrec::calls()[1].args[2], 1.0);
}

TEST(Transform, AddersAccumulateAndResetKeepsScaledFlag) {
    Transform t;
    t.rotate(0, 30, 0);
    t.rotate(0, 30, 0);
    EXPECT_EQ(translateRotateCalls(t), (std::vector<std::string>{"glTranslatef(0, 0, 0)", "glRotatef(60, 0, 1, 0)"}));

    t.setPosition(1, -2, 3);
    t.translate(0.5, 0.5, -1);
    EXPECT_EQ(t.position.x, 1.5);
    EXPECT_EQ(t.position.y, -1.5);
    EXPECT_EQ(t.position.z, 2.0);

    t.setScale(0.9, 0.8, 0.7);
    EXPECT_TRUE(t.isScaled());
    glrec::reset();
    t.applyScale();
    EXPECT_EQ(glrec::texts(), (std::vector<std::string>{"glScaled(0.9, 0.8, 0.7)"}));

    t.reset();
    EXPECT_TRUE(t.isScaled());
    EXPECT_EQ(t.scale.x, 1.0);
    EXPECT_EQ(t.scale.y, 1.0);
    EXPECT_EQ(t.scale.z, 1.0);
    EXPECT_EQ(translateRotateCalls(t), (std::vector<std::string>{"glTranslatef(0, 0, 0)"}));
}

TEST(Transform, PositionIsNarrowedOnlyForTheCall) {
    Transform t;
    t.setPosition(0.1, 1e-300, 12.5);
    EXPECT_EQ(t.position.x, 0.1);  // the double is kept
    EXPECT_EQ(t.position.y, 1e-300);
    EXPECT_EQ(translateRotateCalls(t), (std::vector<std::string>{"glTranslatef(0.10000000149011612, 0, 12.5)"}));
    // The rotation test is on the double: an angle too small for a float
    // still counts as non-zero and is issued (as 0 after narrowing).
    t.setRotation(1e-300, 0, 0);
    EXPECT_EQ(translateRotateCalls(t),
              (std::vector<std::string>{"glTranslatef(0.10000000149011612, 0, 12.5)", "glRotatef(0, 1, 0, 0)"}));
}
