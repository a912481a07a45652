// Per-node animation clock. Once per frame `update` reads the millisecond tick
// count, turns the time since the previous update into one integer delta,
// rebuilds `frameTransform` from identity by ticking every action in order,
// drops actions that had finished, and multiplies the result onto the OpenGL
// matrix. SceneNode::draw calls it between the node's own placement and its
// meshes.
//
// The animator never owns its actions: whoever creates them keeps them alive
// while they are listed here.
//
//   Animator animator;        // reads SDL_GetTicks()
//   animator.add(&spinY);     // spinY.target = &animator.frameTransform
//   animator.update();        // once per frame, inside the node's matrix
#pragma once

#include <cstdint>
#include <vector>

#include "anim/Action.h"
#include "scene/Transform.h"

class Animator {
public:
    Animator();
    Animator(const Animator&) = delete;
    Animator& operator=(const Animator&) = delete;

    void update();
    // Appends the action (a second add lists it twice: it then ticks twice per
    // update) and binds its target to `frameTransform`.
    void add(Action* action);
    // Each affects every listed action with that id.
    void pauseById(std::int32_t id);
    void resumeById(std::int32_t id);
    void finishById(std::int32_t id);

    std::uint32_t now;
    std::uint32_t previous;
    double speed = 1.0;
    Transform frameTransform;
    std::vector<Action*> actions;  // not owned, ticked in this order
};
