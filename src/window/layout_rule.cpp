#include "window/layout_rule.h"

namespace {

void setIfAboveOne(float &size, float value)
{
    if (value > 1)
        size = value;
}

} // namespace

LayoutSizes ApplyLayoutRule(const LayoutSizes &current, float clientWidth, float clientHeight)
{
    LayoutSizes sizes = current;
    if (clientWidth - 2600 > 1) {
        sizes.txtInputWidth = clientWidth - 2600;
        sizes.cboServerWidth = clientWidth - 2600;
    }
    sizes.buttonsLeft = kTxtInputLeft + sizes.txtInputWidth + 120;
    setIfAboveOne(sizes.txtLabelWidth, clientWidth - 240);
    setIfAboveOne(sizes.rtbResultWidth, clientWidth - 20);
    setIfAboveOne(sizes.rtbResultHeight, (clientHeight - 282) - kRtbResultTop);
    return sizes;
}
