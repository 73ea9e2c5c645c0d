// The finder's drag states. The cross-hair is either in picFinder (Idle) or
// serving as the drag cursor while picFinder holds the capture (Dragging).
// Only the left button (bit 1 of the VB-style button mask) moves between them.
#pragma once

namespace kelvorin {

class FinderDrag {
public:
    static constexpr int kLeftButton = 1;

    bool Dragging() const { return dragging_; }
    // A press with the left bit set starts a drag; returns whether it acts.
    bool Press(int button) {
        if (!(button & kLeftButton)) return false;
        dragging_ = true;
        return true;
    }
    // Moves act only with the left bit set.
    static bool MoveActs(int button) { return (button & kLeftButton) != 0; }
    // A release with the left bit set ends the drag; returns whether it acts.
    bool Release(int button) {
        if (!(button & kLeftButton)) return false;
        dragging_ = false;
        return true;
    }

private:
    bool dragging_ = false;
};

}  // namespace kelvorin
