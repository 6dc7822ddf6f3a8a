#include "gui/state/statistics_view.h"

#include <gtest/gtest.h>

#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

class StatisticsViewTest : public ::testing::Test, public test::ViewContext {
protected:
    [[nodiscard]] static QStringList Fields(const CViewStatistics& view) {
        QStringList texts;
        for (std::size_t i = 0; i < CViewStatistics::kFields; ++i) {
            texts << view.FieldText(i);
        }
        return texts;
    }
};

TEST_F(StatisticsViewTest, BeforeAnyMessage97_EveryFieldIsZero) {
    const CViewStatistics view(services);
    EXPECT_EQ(Fields(view), (QStringList{"0.0", "0", "0", "0", "0", "0", "0"}));
}

TEST_F(StatisticsViewTest, Message97_ReloadsEveryFieldWithTheProgramsCounters) {
    const CViewStatistics view(services);
    context.dispatcher.Feed(std::vector<std::uint8_t>{'x', 'y'});  // two bytes nobody takes
    const std::string debug = "$RX,1,first debug line\r\n";
    context.dispatcher.Feed(std::span(reinterpret_cast<const std::uint8_t*>(debug.data()), debug.size()));
    CBinFrameBuilder msg97(97);
    msg97.Set(msg97::SpareCount, std::uint32_t{200000})
        .Set(msg97::MissedSubframes, std::uint16_t{3})
        .Set(msg97::MaxSubframesPending, std::uint16_t{4})
        .Set(msg97::MissedAccumulations, std::uint16_t{5})
        .Set(msg97::MissedMeasurements, std::uint16_t{6});
    Feed(msg97);
    EXPECT_EQ(Fields(view), (QStringList{"90.0", "3", "4", "5", "6", "2", "1"}));
}

TEST_F(StatisticsViewTest, Closing_TurnsMessage97OffOnlyWithAutoConfigure) {
    std::make_unique<CViewStatistics>(services).reset();
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"$JBIN,97,0\r"}));
    sender.sent.clear();
    context.autoConfigure = false;
    std::make_unique<CViewStatistics>(services).reset();
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(StatisticsViewTest, EveryFourthTick_KeepsMessage97On) {
    CViewStatistics view(services);
    for (int tick = 1; tick <= 4; ++tick) {
        PostRefreshTick(&view);
        QCoreApplication::processEvents();
        EXPECT_EQ(sender.sent.size(), tick < 4 ? 0U : 1U) << "tick " << tick;
    }
    EXPECT_EQ(sender.sent.front(), "$JBIN,97,1\r");
}

}  // namespace
}  // namespace zarnmon
