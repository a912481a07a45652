// Base of every timed animation. An Action accumulates running time in
// milliseconds while it runs, knows whether it is endless or finished, and at
// every tick writes its effect for that time into a target Transform through
// `apply`. Actions are created and kept alive by their owner (the scene
// assembly); an Animator only points at them and binds their target.
//
//   class Spin : public Action { void apply() override { target->rotate(0, elapsed / 1000, 0); } };
//   Spin spin(1, true, 0.0);   // id 1, running, duration 0 = endless
//   animator.add(&spin);       // target = animator.frameTransform
#pragma once

#include <cstdint>

#include "scene/Transform.h"

class Action {
public:
    // A duration of exactly 0 makes the action endless: it never finishes by
    // time, only through `finish`.
    Action(std::int32_t id, bool running, double duration);
    virtual ~Action();
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;

    // Writes the effect for the current `elapsed` into `target`.
    virtual void apply() = 0;

    // Advances time by `delta` ms if running (or marks the action finished
    // once `duration` has been reached), then applies in every case.
    void tick(std::uint32_t delta);
    void pause() { running = false; }
    void resume() { running = true; }
    void finish() { finished = true; }
    bool isFinished() const { return finished; }
    std::int32_t getId() const { return id; }

    Transform* target = nullptr;  // not owned; bound by Animator::add
    double elapsed = 0.0;         // running time accumulated, ms
    std::int32_t id;
    bool running;
    bool endless;
    bool finished = false;
    double duration = 0.0;  // ms; meaningful only when not endless
};
