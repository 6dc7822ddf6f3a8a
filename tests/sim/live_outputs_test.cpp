// What the heading, almanac, debug and L-band views show of the simulated
// receiver, decoded second by second through the monitor's dispatcher: it
// has to move, and agree with the receiver's motion.

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/bin_catalogue.h"
#include "core/link/msg_dispatcher.h"
#include "core/state/heading_reader.h"
#include "sim/sim_receiver.h"
#include "support/recorders.h"

namespace zarnmon::sim {
namespace {

struct Arrival {
    int second;
    std::string handler;
    std::string text;  // the message's bytes
};

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const auto comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

// Degrees from a to b the short way, clockwise positive.
double Turn(double a, double b) { return std::remainder(b - a, 360.0); }

class LiveOutputs : public ::testing::Test {
protected:
    void Start(Motion motion, std::string_view commands) {
        SimConfig config;
        config.motion = motion;
        receiver = std::make_unique<CSimReceiver>(config);
        receiver->Receive(test::AsBytes(commands));
        dispatcher.SetStoreTap(&recorder);
        heading.Start(dispatcher.Nmea());
    }
    // Lets seconds pass, feeding each second's output to the dispatcher; the
    // heading reader reads the NMEA history after each second, as the view does.
    void Run(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            std::vector<std::uint8_t> bytes;
            receiver->Advance(1000);
            receiver->TakeOutput(bytes);
            dispatcher.Feed(bytes);
            for (const auto& message : recorder.stored) {
                arrivals.push_back({second, message.handler, {message.bytes.begin(), message.bytes.end()}});
            }
            recorder.stored.clear();
            heading.ReadNew(dispatcher.Nmea());
            shownHeading.push_back(heading.Heading());
            ++second;
        }
    }
    // The lines of one handler that start with prefix, in order.
    [[nodiscard]] std::vector<Arrival> Lines(std::string_view handler, std::string_view prefix = "") const {
        std::vector<Arrival> lines;
        for (const Arrival& a : arrivals) {
            if (a.handler == handler && a.text.starts_with(prefix)) {
                lines.push_back(a);
            }
        }
        return lines;
    }

    CManualTickClock clock;
    CMsgDispatcher dispatcher{clock};
    test::StoreRecorder recorder;
    std::unique_ptr<CSimReceiver> receiver;
    CHeadingReader heading;
    std::vector<Arrival> arrivals;
    std::vector<double> shownHeading;  // by second
    int second = 0;
};

TEST_F(LiveOutputs, Circle_HeadingTurnsWithTheMotionAndTheCourseAgrees) {
    Start(Motion::Circle, "$JASC,HEHDT,1\r$JASC,GPVTG,1\r");
    Run(120);
    const auto headings = Lines("NmeaHandler", "$HEHDT,");
    const auto courses = Lines("NmeaHandler", "$GPVTG,");
    ASSERT_EQ(headings.size(), 120U) << "1 Hz";
    ASSERT_EQ(courses.size(), 120U);
    double turned = 0.0;
    int compared = 0;
    for (std::size_t i = 0; i < headings.size(); ++i) {
        SCOPED_TRACE(headings[i].text + courses[i].text);
        const double hdt = std::strtod(Fields(headings[i].text)[1].c_str(), nullptr);
        EXPECT_EQ(shownHeading[static_cast<std::size_t>(headings[i].second)], hdt) << "what the heading view shows";
        if (i > 0) {
            const double step = Turn(std::strtod(Fields(headings[i - 1].text)[1].c_str(), nullptr), hdt);
            // 6 m/s on a 40 m circle: 8.6 degrees a second, clockwise.
            EXPECT_GT(step, 6.0);
            EXPECT_LT(step, 11.0);
            turned += step;
        }
        const auto vtg = Fields(courses[i].text);
        if (vtg[9].starts_with('N')) {
            continue;  // no fix yet: no course
        }
        EXPECT_LT(std::abs(Turn(std::strtod(vtg[1].c_str(), nullptr), hdt)), 2.0) << "driving forward";
        ++compared;
    }
    EXPECT_GT(turned, 2.5 * 360.0);
    EXPECT_GT(compared, 100);

    receiver->Receive(test::AsBytes("$JASC,HEHDT,0\r$JASC,GPVTG,0\r"));
    const std::size_t before = Lines("NmeaHandler").size();
    Run(5);
    EXPECT_EQ(Lines("NmeaHandler").size(), before) << "both switched off";
}

TEST_F(LiveOutputs, Standing_HeadingSwingsToAndFroAndTheCourseFollowsIt) {
    Start(Motion::Static, "$JASC,HEHDT,1\r$JASC,GPVTG,1\r");
    Run(300);
    const auto headings = Lines("NmeaHandler", "$HEHDT,");
    ASSERT_EQ(headings.size(), 300U);
    double angle = 0.0;
    double least = 0.0;
    double most = 0.0;
    int changed = 0;
    for (std::size_t i = 1; i < headings.size(); ++i) {
        const double step = Turn(std::strtod(Fields(headings[i - 1].text)[1].c_str(), nullptr),
                                 std::strtod(Fields(headings[i].text)[1].c_str(), nullptr));
        EXPECT_LT(std::abs(step), 2.0) << "slowly";
        changed += step != 0.0 ? 1 : 0;
        angle += step;
        least = std::min(least, angle);
        most = std::max(most, angle);
    }
    EXPECT_GT(most - least, 30.0) << "far enough to see";
    EXPECT_GT(changed, 250) << "the text changes nearly every second";

    // Standing still the velocity has no direction: the course is where the receiver points.
    const auto courses = Lines("NmeaHandler", "$GPVTG,");
    ASSERT_EQ(courses.size(), headings.size());
    for (std::size_t i = 0; i < courses.size(); ++i) {
        const auto vtg = Fields(courses[i].text);
        if (!vtg[9].starts_with('N')) {
            EXPECT_LT(std::abs(Turn(std::strtod(vtg[1].c_str(), nullptr),
                                    std::strtod(Fields(headings[i].text)[1].c_str(), nullptr))),
                      0.11)
                << courses[i].text << headings[i].text;
        }
    }
}

TEST_F(LiveOutputs, Almanac_EachMessage98NamesAnotherOfTheSatellitesItCarries) {
    Start(Motion::Static, "$JBIN,98,1\r");
    Run(70);
    const auto messages = Lines("Msg98");
    ASSERT_EQ(messages.size(), 70U);
    std::set<int> named;
    int previous = 0;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        SCOPED_TRACE(i);
        const auto bytes = test::AsBytes(messages[i].text);
        const Msg98View msg98(bytes);
        const int prn = msg98.LastAlmPrn();
        EXPECT_NE(prn, previous);
        EXPECT_EQ(msg98.IonoValid(), 1);
        bool carried = false;
        for (int r = 0; r < msg98::kRecordCount; ++r) {
            carried = carried || msg98.Record(r).SvIndex() == prn - 1;
        }
        EXPECT_TRUE(carried) << prn;
        if (i < 32) {
            named.insert(prn);
        }
        previous = prn;
    }
    EXPECT_EQ(named.size(), 32U) << "every satellite in 32 messages";
    EXPECT_EQ(*named.begin(), 1);
    EXPECT_EQ(*named.rbegin(), 32);
}

TEST_F(LiveOutputs, Diagnostics_ChangeFromSecondToSecond) {
    Start(Motion::Static, "$JASC,X,1\r$JASC,D1,1\r");
    Run(120);

    const auto rd1 = Lines("Rd1Handler");
    ASSERT_EQ(rd1.size(), 120U);
    std::set<std::string> agc;
    std::set<std::string> ber;
    for (std::size_t i = 1; i < rd1.size(); ++i) {
        SCOPED_TRACE(rd1[i].text);
        const auto fields = Fields(rd1[i].text);
        ASSERT_EQ(fields.size(), 13U);
        EXPECT_EQ(std::stol(fields[1]), std::stol(Fields(rd1[i - 1].text)[1]) + 1) << "its time advances";
        if (fields[9] == "0D") {  // in sync
            agc.insert(fields[6]);
            ber.insert(fields[5]);
        }
    }
    EXPECT_GT(agc.size(), 10U);
    EXPECT_GT(ber.size(), 1U);

    // Eight lines a second, each slot every fourth second; after the first
    // fix nearly every slot shows something new each time.
    const auto rx = Lines("RxHandler");
    ASSERT_EQ(rx.size(), 120U * 8U);
    for (std::size_t round = 3; round < rx.size() / 32; ++round) {
        SCOPED_TRACE(round);
        int changed = 0;
        for (std::size_t k = 0; k < 32; ++k) {
            const std::string& now = rx[round * 32 + k].text;
            EXPECT_TRUE(now.starts_with("$RX," + std::to_string(k) + ","));
            changed += now != rx[(round - 1) * 32 + k].text ? 1 : 0;
        }
        EXPECT_GE(changed, 28);
    }
    for (int k = 0; k < 32; ++k) {
        EXPECT_EQ(dispatcher.Rx().RxCount(k), 120U / 4U) << k;
    }
}

}  // namespace
}  // namespace zarnmon::sim
