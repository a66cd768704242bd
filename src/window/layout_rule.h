#pragma once

// The sizes that the main window's layout rule changes when the client area
// is resized, in twips. Everything else keeps its initial position.
struct LayoutSizes {
    float keyEditWidth = 6255;
    float serverComboWidth = 6255;
    float buttonsLeft = 7680;
    float resultLabelWidth = 8775;
    float resultViewWidth = 9000;
    float resultViewHeight = 4620;

    bool operator==(const LayoutSizes &) const = default;
};

inline constexpr float kKeyEditLeft = 1200;
inline constexpr float kResultViewTop = 1485;

// Applies the rule for a client area of the given width and height (twips).
// A size is changed only when its new value is greater than 1, so a tiny or
// minimised window never gets a zero or negative size; the buttons always
// follow the key box.
LayoutSizes applyLayoutRule(const LayoutSizes &current, float clientWidth, float clientHeight);
