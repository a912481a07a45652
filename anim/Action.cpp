#include "anim/Action.h"

Action::Action(std::int32_t id_, bool running_, double duration_) : id(id_), running(running_), endless(duration_ == 0.0) {
    if (!endless) duration = duration_;
}

Action::~Action() = default;

void Action::tick(std::uint32_t delta) {
    if (running) {
        // Written as "not (elapsed < duration)" so that a NaN on either side
        // counts as the duration being reached, and the test comes before the
        // addition: the last advancing tick may carry elapsed past duration.
        if (!endless && !(elapsed < duration)) {
            finished = true;
        } else {
            elapsed += static_cast<double>(delta);
        }
    }
    apply();
}
