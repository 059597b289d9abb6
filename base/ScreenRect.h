// Screen rectangles and where a dialog goes: centred on the window it
// belongs to, but never (even partly) off the screen.
#pragma once

namespace velmo {

// Screen pixels; `right` and `bottom` lie just outside, as with a Win32 RECT.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

// `window` moved, not resized, so that its centre lies on `reference`'s
// centre, then pushed back into `workArea` where it would stick out. A window
// larger than the work area keeps its top-left corner (its caption) inside.
ScreenRect CentredOn(const ScreenRect& window, const ScreenRect& reference, const ScreenRect& workArea);

}  // namespace velmo
