// Where a form's controls go in its dialog and how the keyboard walks them,
// worked out from the forms model alone.
#pragma once

#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"

namespace platform::win32 {

struct ChildPlan {
    forms::Control* control = nullptr;
    // Pixels in the dialog's client area: controls held by a frame or a
    // picture box are children of the dialog, moved by their container's place.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // WS_GROUP: the first control of a run the arrow keys move within. The
    // option buttons of one container make one run.
    bool group = false;
};

// The form's controls in the order their windows are made, which is the
// dialog's Tab order: controls by tab index, then frames and picture boxes,
// made last so that they lie beneath the controls they hold.
std::vector<ChildPlan> PlanChildren(const forms::Form& form, int dpi);

}  // namespace platform::win32
