#include "core/app/window_layout.h"

#include <ranges>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

const LayoutRect kArea{0, 0, 1000, 700};

void ExpectInsideWithoutOverlap(const LayoutRect& area, const std::vector<LayoutRect>& rects) {
    for (std::size_t i = 0; i < rects.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(area.Contains(rects[i]));
        for (std::size_t j = i + 1; j < rects.size(); ++j) {
            const LayoutRect overlap = rects[i].Intersection(rects[j]);
            EXPECT_TRUE(overlap.width == 0 || overlap.height == 0) << "with " << j;
        }
    }
}

TEST(TileLayout, WindowsThatFit_KeepTheirSizesSideBySide) {
    const std::vector<LayoutSize> preferred{{600, 300}, {350, 400}, {500, 250}};
    const auto rects = TileLayout(kArea, preferred);
    ASSERT_EQ(rects.size(), 3u);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        EXPECT_EQ(rects[i].width, preferred[i].width);
        EXPECT_EQ(rects[i].height, preferred[i].height);
    }
    EXPECT_EQ(rects[2].y, 400) << "the third starts a row below the tallest of the first";
    ExpectInsideWithoutOverlap(kArea, rects);
}

TEST(TileLayout, TooManyForTheArea_ShareItInCellsAndStayInside) {
    const std::vector<LayoutSize> preferred(7, LayoutSize{500, 400});
    const auto rects = TileLayout(kArea, preferred);
    ASSERT_EQ(rects.size(), 7u);
    ExpectInsideWithoutOverlap(kArea, rects);
    for (const LayoutRect& rect : rects) {
        EXPECT_LE(rect.width, 500);
        EXPECT_GE(rect.width * rect.height, 1000 * 700 / 9) << "no window shrinks below its cell";
    }
}

TEST(TileLayout, SmallWindowsInACrowd_AreNotBlownUp) {
    const std::vector<LayoutSize> preferred{{900, 650}, {120, 80}, {120, 80}};
    for (const LayoutRect& rect : TileLayout(kArea, preferred) | std::views::drop(1)) {
        EXPECT_EQ(rect.width, 120);
        EXPECT_EQ(rect.height, 80);
    }
}

TEST(CascadeLayout, KeepsSizesStepsDownAndStaysInside) {
    const std::vector<LayoutSize> preferred{{400, 300}, {400, 300}, {2000, 300}, {400, 300}};
    const auto rects = CascadeLayout(kArea, preferred, 25);
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(rects[0], (LayoutRect{0, 0, 400, 300}));
    EXPECT_EQ(rects[1], (LayoutRect{25, 25, 400, 300}));
    EXPECT_EQ(rects[2], (LayoutRect{0, 50, 1000, 300})) << "wider than the area: cut to it, not past its edge";
    EXPECT_EQ(rects[3], (LayoutRect{75, 75, 400, 300}));
    for (const LayoutRect& rect : rects) {
        EXPECT_TRUE(kArea.Contains(rect));
    }
}

TEST(CascadeLayout, ManyWindows_StartTheStairAgain) {
    const std::vector<LayoutSize> preferred(40, LayoutSize{300, 200});
    const auto rects = CascadeLayout(kArea, preferred, 25);
    for (const LayoutRect& rect : rects) {
        EXPECT_TRUE(kArea.Contains(rect));
        EXPECT_EQ(rect.width, 300);
    }
    EXPECT_EQ(rects[0], rects[std::size_t{(700 - 200) / 25 + 1}]);
}

TEST(WindowPlacement, SaveThenLoad_RoundTripsAndRejectsWhatDoesNotScan) {
    CSettingsStore store;
    const WindowPlacement placed{{-20, 35, 640, 480}, true};
    SaveWindowPlacement(store, "ZarnMon", placed);
    EXPECT_EQ(store.GetString("WindowPlacement", "ZarnMon", ""), "-20,35,640,480,1");
    EXPECT_EQ(LoadWindowPlacement(store, "ZarnMon"), placed);

    EXPECT_FALSE(LoadWindowPlacement(store, "GPSVw"));
    for (const char* bad : {"1,2,3", "1,2,0,4,0", "1,2,3,-4,0", "a,b,c,d,e", "1,2,3,4,0,junk"}) {
        SCOPED_TRACE(bad);
        store.SetString("WindowPlacement", "GPSVw", bad);
        EXPECT_FALSE(LoadWindowPlacement(store, "GPSVw"));
    }
}

TEST(WindowPlacement, OnSomeScreen_NeedsAGrabbablePartOnOneScreen) {
    const std::vector<LayoutRect> screens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_TRUE(OnSomeScreen({100, 100, 800, 600}, screens));
    EXPECT_TRUE(OnSomeScreen({2500, 900, 800, 600}, screens)) << "partly on the second screen";
    EXPECT_FALSE(OnSomeScreen({3300, 100, 800, 600}, screens)) << "a screen unplugged since";
    EXPECT_FALSE(OnSomeScreen({-790, 100, 800, 600}, screens)) << "ten pixels showing cannot be grabbed";
}

}  // namespace
}  // namespace zarnmon
