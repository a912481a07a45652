// A node's numbered list of prepared steps. Each step holds actions to hand to
// the node's Animator, commands for actions already there (by id: 0 pause,
// 1 resume, 2 finish) and triggers that run steps of other sequencers, which
// may belong to other nodes. The scene assembly fills a step and runs it.
//
//   node.sequencer.addStep();                 // step 0, now current
//   node.sequencer.addAction(&spinZ);
//   node.sequencer.addCommand({5, 0});        // pause the actions with id 5
//   node.sequencer.addTrigger({&other.sequencer, 1});
//   node.sequencer.runStep(0);
//
// Running a step never reads outside the step lists: an index that names no
// step is refused. A trigger that would re-enter a step that is still running
// further up the same chain (a cycle) is skipped, and triggers are followed
// with an explicit stack, so no chain can exhaust the call stack.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

class Action;
class Animator;

class Sequencer {
public:
    using Command = std::pair<std::int32_t, std::int32_t>;  // (action id, command)
    using Trigger = std::pair<Sequencer*, std::int32_t>;  // (sequencer, step index)

    Sequencer() = default;
    Sequencer(const Sequencer&) = delete;
    Sequencer& operator=(const Sequencer&) = delete;

    // Appends an enabled, empty step and makes it current; returns the new
    // number of steps.
    std::int32_t addStep();
    // These fill step `current`; before the first addStep they do nothing.
    void addAction(Action* action);
    void addCommand(Command command);
    void addTrigger(Trigger trigger);
    // Makes an existing, enabled step current; false (current unchanged) for
    // a disabled step or an index that names no step.
    bool selectStep(std::int32_t index);
    // Hands the step's actions to the animator, then sends its commands, then
    // runs its triggers depth-first, each with all of its own triggers before
    // the next. Does nothing for an index that names no step or a disabled
    // step. Without a bound animator, actions and commands are skipped.
    void runStep(std::int32_t index);

    std::int32_t stepCount() const { return static_cast<std::int32_t>(enabled.size()); }

    std::int32_t current = -1;  // -1 until the first addStep
    std::vector<std::int32_t> enabled;
    std::vector<std::vector<Action*>> stepActions;
    std::vector<std::vector<Command>> stepCommands;
    std::vector<std::vector<Trigger>> stepTriggers;
    Animator* animator = nullptr;  // not owned; set by the owning SceneNode

private:
    bool hasStep(std::int32_t index) const { return index >= 0 && index < stepCount(); }
    // Adds the step's actions and sends its commands.
    void enterStep(std::int32_t index);

    // 1 while a step is running in the current trigger chain.
    std::vector<unsigned char> stepRunning;
};
