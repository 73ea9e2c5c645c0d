// The finder's drag states. The cross-hair is either in picFinder (Idle) or
// serving as the drag cursor while picFinder holds the capture (Dragging).
// Only the left button (bit 1 of the VB-style button mask) moves between them
// by itself; a drag also ends when the capture is lost or Escape cancels it,
// and then the selection held at the press is at hand again.
#pragma once

#include <string>
#include <utility>

#include "platform/types.h"

namespace kelvorin {

class FinderDrag {
public:
    static constexpr int kLeftButton = 1;

    // The selected window and the finder's fields as they were at the press.
    struct Selection {
        WindowHandle window;
        std::string handleText;
        std::string className;
    };

    bool Dragging() const { return dragging_; }
    // A press with the left bit set starts a drag; returns whether it acts.
    bool Press(int button, Selection atPress) {
        if (!(button & kLeftButton)) return false;
        dragging_ = true;
        atPress_ = std::move(atPress);
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
    const Selection& AtPress() const { return atPress_; }

private:
    bool dragging_ = false;
    Selection atPress_;
};

}  // namespace kelvorin
