#include "window/layout_rule.h"

namespace {

void setIfAboveOne(float &size, float value)
{
    if (value > 1)
        size = value;
}

} // namespace

LayoutSizes applyLayoutRule(const LayoutSizes &current, float clientWidth, float clientHeight)
{
    LayoutSizes sizes = current;
    if (clientWidth - 2600 > 1) {
        sizes.keyEditWidth = clientWidth - 2600;
        sizes.serverComboWidth = clientWidth - 2600;
    }
    sizes.buttonsLeft = kKeyEditLeft + sizes.keyEditWidth + 120;
    setIfAboveOne(sizes.resultLabelWidth, clientWidth - 240);
    setIfAboveOne(sizes.resultViewWidth, clientWidth - 20);
    setIfAboveOne(sizes.resultViewHeight, (clientHeight - 282) - kResultViewTop);
    return sizes;
}
