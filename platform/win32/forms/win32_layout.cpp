#include "platform/win32/forms/win32_layout.h"

#include <algorithm>

#include "platform/win32/forms/win32_units.h"

namespace platform::win32 {

using forms::Control;
using forms::ControlKind;

namespace {

bool IsContainer(ControlKind kind) {
    return kind == ControlKind::Frame || kind == ControlKind::PictureBox;
}

forms::TwipsRect FormRect(const Control& control) {
    forms::TwipsRect rect = control.Rect();
    for (const Control* container = control.Container(); container;
         container = container->Container()) {
        rect.left += container->Rect().left;
        rect.top += container->Rect().top;
    }
    return rect;
}

}  // namespace

std::vector<ChildPlan> PlanChildren(const forms::Form& form, int dpi) {
    std::vector<Control*> order = form.Controls();
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        if (IsContainer(a->Kind()) != IsContainer(b->Kind())) return !IsContainer(a->Kind());
        return a->TabIndex() < b->TabIndex();
    });

    std::vector<ChildPlan> plans;
    const Control* previous = nullptr;
    for (Control* control : order) {
        const forms::TwipsRect rect = FormRect(*control);
        ChildPlan plan;
        plan.control = control;
        plan.x = TwipsToPixels(rect.left, dpi);
        plan.y = TwipsToPixels(rect.top, dpi);
        plan.width = TwipsToPixels(rect.width, dpi);
        plan.height = TwipsToPixels(rect.height, dpi);
        const bool continuesOptions = control->Kind() == ControlKind::OptionButton && previous &&
                                      previous->Kind() == ControlKind::OptionButton &&
                                      previous->Container() == control->Container();
        plan.group = !continuesOptions;
        plans.push_back(plan);
        previous = control;
    }
    return plans;
}

}  // namespace platform::win32
