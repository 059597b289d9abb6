#include "base/ScreenRect.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace velmo {
namespace {

const ScreenRect kScreen{0, 0, 1024, 738};  // a 1024x768 screen above a 30-pixel taskbar

TEST(ScreenRect, ADialogIsCentredOnItsWindowAndKeptOnTheScreen) {
    struct Case {
        const char* what;
        ScreenRect window;
        ScreenRect reference;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"centred on a window in the middle", {0, 0, 200, 100}, {312, 234, 712, 534}, {412, 334, 612, 434}},
        {"larger than the window it belongs to",
         {0, 0, 300, 150},
         {400, 300, 500, 360},
         {300, 255, 600, 405}},
        {"owner at the right edge", {0, 0, 200, 100}, {900, 300, 1100, 500}, {824, 350, 1024, 450}},
        {"owner at the bottom right, partly off",
         {0, 0, 200, 100},
         {950, 700, 1250, 900},
         {824, 638, 1024, 738}},
        {"owner at the top left, partly off", {50, 50, 250, 150}, {-300, -100, 100, 100}, {0, 0, 200, 100}},
        {"centred on the screen itself", {0, 0, 200, 100}, kScreen, {412, 319, 612, 419}},
        {"larger than the screen: top left inside", {0, 0, 1200, 900}, kScreen, {0, 0, 1200, 900}},
        {"odd difference rounds toward the reference's start", {0, 0, 3, 3}, {0, 0, 10, 10}, {3, 3, 6, 6}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentredOn(c.window, c.reference, kScreen), c.expected) << c.what;
    }
}

// Random owners anywhere around a second screen: a dialog that fits always
// lies inside the work area, keeps its size, and sits on the owner's centre
// whenever the owner's centre leaves room for it.
TEST(ScreenRect, AFittingDialogIsAlwaysInsideTheWorkAreaAndCentredWhenThereIsRoom) {
    const unsigned seed = 20260101;
    std::mt19937 random(seed);
    const ScreenRect work{1024, -200, 2304, 824};
    std::uniform_int_distribution<int> size(1, 600);
    std::uniform_int_distribution<int> position(-1000, 3500);
    for (int i = 0; i < 2000; ++i) {
        const ScreenRect window{0, 0, size(random), size(random)};
        const int x = position(random);
        const int y = position(random);
        const ScreenRect reference{x, y, x + size(random), y + size(random)};
        const ScreenRect placed = CentredOn(window, reference, work);
        SCOPED_TRACE(testing::Message() << "seed " << seed << " step " << i);
        ASSERT_EQ(placed.Width(), window.Width());
        ASSERT_EQ(placed.Height(), window.Height());
        ASSERT_GE(placed.left, work.left);
        ASSERT_GE(placed.top, work.top);
        ASSERT_LE(placed.right, work.right);
        ASSERT_LE(placed.bottom, work.bottom);
        const int centreX = (reference.left + reference.right) / 2;
        if (centreX - window.Width() / 2 - 1 >= work.left && centreX + window.Width() / 2 + 1 <= work.right) {
            ASSERT_LE(std::abs((placed.left + placed.right) / 2 - centreX), 1);
        }
    }
}

}  // namespace
}  // namespace velmo
