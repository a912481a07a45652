#include "anim/Sequencer.h"

#include "anim/Animator.h"

std::int32_t Sequencer::addStep() {
    enabled.push_back(1);
    stepActions.emplace_back();
    stepCommands.emplace_back();
    stepTriggers.emplace_back();
    stepRunning.push_back(0);
    current = stepCount() - 1;
    return stepCount();
}

void Sequencer::addAction(Action* action) {
    if (hasStep(current)) stepActions[current].push_back(action);
}

void Sequencer::addCommand(Command command) {
    if (hasStep(current)) stepCommands[current].push_back(command);
}

void Sequencer::addTrigger(Trigger trigger) {
    if (hasStep(current)) stepTriggers[current].push_back(trigger);
}

bool Sequencer::selectStep(std::int32_t index) {
    if (!hasStep(index) || enabled[index] != 1) return false;
    current = index;
    return true;
}

void Sequencer::enterStep(std::int32_t index) {
    if (!animator) return;
    for (Action* action : stepActions[index]) animator->add(action);
    for (const Command& command : stepCommands[index]) {
        if (command.second == 0) animator->pauseById(command.first);
        if (command.second == 1) animator->resumeById(command.first);
        if (command.second == 2) animator->finishById(command.first);
    }
}

void Sequencer::runStep(std::int32_t index) {
    if (!hasStep(index) || enabled[index] == 0) return;

    // Depth-first walk of the trigger chain on an explicit stack. A step is
    // marked running from its entry until all of its triggers are done; a
    // trigger that reaches a marked step would close a cycle and is skipped.
    struct Frame {
        Sequencer* sequencer;
        std::int32_t step;
        std::size_t nextTrigger;
    };
    std::vector<Frame> stack;

    auto enter = [&stack](Sequencer* sequencer, std::int32_t step) {
        sequencer->stepRunning[step] = 1;
        sequencer->enterStep(step);
        stack.push_back(Frame{sequencer, step, 0});
    };

    enter(this, index);
    while (!stack.empty()) {
        Frame& top = stack.back();
        const std::vector<Trigger>& triggers = top.sequencer->stepTriggers[top.step];
        if (top.nextTrigger == triggers.size()) {
            top.sequencer->stepRunning[top.step] = 0;
            stack.pop_back();
            continue;
        }
        const Trigger trigger = triggers[top.nextTrigger++];
        Sequencer* next = trigger.first;
        if (!next || !next->hasStep(trigger.second) || next->enabled[trigger.second] == 0) continue;
        if (next->stepRunning[trigger.second]) continue;  // would close a cycle
        enter(next, trigger.second);  // invalidates `top`; it is not used again
    }
}
