#include "base/ScreenRect.h"

#include <algorithm>

namespace velmo {

namespace {

// The start of a span of `length` centred on [from, to), moved into [low, high)
// as far as it fits; when it does not fit it starts at `low`.
int CentredStart(int length, int from, int to, int low, int high) {
    const int start = from + (to - from - length) / 2;
    return std::max(low, std::min(start, high - length));
}

}  // namespace

ScreenRect CentredOn(const ScreenRect& window, const ScreenRect& reference, const ScreenRect& workArea) {
    const int left =
        CentredStart(window.Width(), reference.left, reference.right, workArea.left, workArea.right);
    const int top =
        CentredStart(window.Height(), reference.top, reference.bottom, workArea.top, workArea.bottom);
    return {left, top, left + window.Width(), top + window.Height()};
}

}  // namespace velmo
