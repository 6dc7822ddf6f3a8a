#include "gui/state/rx_event.h"

#include <QCoreApplication>
#include <QObject>
#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/msg_dispatcher.h"
#include "core/state/monitor_test.h"
#include "gui/state/monitor_view.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

// A window that notes the handlers of the notifications it handles, taking
// each as the views do; onTaken runs while it handles one.
class CNotifiedWindow final : public QObject {
public:
    std::vector<const CMsgHandler*> handled;
    std::function<void()> onTaken;

protected:
    bool event(QEvent* event) override {
        if (event->type() != CRxMessageEvent::Type()) {
            return QObject::event(event);
        }
        const auto& notification = static_cast<const CRxMessageEvent&>(*event);
        notification.Taken();
        handled.push_back(notification.Handler());
        if (onTaken) {
            std::exchange(onTaken, nullptr)();
        }
        return true;
    }
};

class RxEventTest : public ::testing::Test {
protected:
    void Post(const CMsgHandler& handler, int times = 1) {
        for (int i = 0; i < times; ++i) {
            poster_.PostRxMessage(WM_RX_MESSAGE, 0xFFFFFFFF, &handler);
        }
    }

    CManualTickClock clock_;
    CMsgDispatcher dispatcher_{clock_};
    const CMsgHandler& msg1_ = dispatcher_.Handler(Slots::Msg1);
    const CMsgHandler& msg99_ = dispatcher_.Handler(Slots::Msg99);
    CNotifiedWindow window_;
    CRxEventPoster poster_{&window_, RxDelivery::Latest};
};

TEST_F(RxEventTest, Latest_OneNotificationOfEachHandlerWaitsAtATime) {
    Post(msg1_, 3);
    Post(msg99_, 2);
    Post(msg1_);
    QCoreApplication::processEvents();
    EXPECT_EQ(window_.handled, (std::vector{&msg1_, &msg99_}));

    Post(msg1_, 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(window_.handled, (std::vector{&msg1_, &msg99_, &msg1_})) << "handled ones no longer hold the next back";
}

TEST_F(RxEventTest, EveryMessage_PostsEachNotification) {
    poster_.SetDelivery(RxDelivery::EveryMessage);
    Post(msg1_, 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(window_.handled, (std::vector{&msg1_, &msg1_, &msg1_}));
}

TEST_F(RxEventTest, Latest_AMessageStoredWhileOneIsHandledNotifiesAgain) {
    // A nested event loop inside the handling could let the link deliver more.
    window_.onTaken = [this] { Post(msg1_); };
    Post(msg1_);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(window_.handled, (std::vector{&msg1_, &msg1_}));
}

TEST_F(RxEventTest, Latest_ANotificationThrownAwayUnhandledHoldsNothingBack) {
    Post(msg1_);
    QCoreApplication::removePostedEvents(&window_, CRxMessageEvent::Type());
    Post(msg1_);
    QCoreApplication::processEvents();
    EXPECT_EQ(window_.handled, (std::vector{&msg1_}));
}

// The monitor's filters step with each message, so a burst of messages 99
// and "$RD1," lines in one chunk steps them once per message, as the offline
// test steps them, even though each step reads the last line stored.
class MonitorBurstTest : public ::testing::Test, public test::ViewContext {};

TEST_F(MonitorBurstTest, Burst_MonitorFiltersStepForEveryMessage) {
    CViewMonitor view(services);
    const std::string line = "$RD1,300.0,2443,1,1545.0,40,0,0,0,0,0\r\n";
    std::string burst;
    for (int i = 0; i < 5; ++i) {
        burst += line;
    }
    FeedLine(burst);

    CMonitorTest reference(context.dispatcher, clock, context.receiverInfo, *context.monitorThresholds);
    for (int i = 0; i < 5; ++i) {
        reference.OnMonitorMessage(Slots::Rd1Handler);
    }
    EXPECT_GT(reference.FilteredBer(), 0.0);
    EXPECT_DOUBLE_EQ(view.Test().FilteredBer(), reference.FilteredBer());
}

}  // namespace
}  // namespace zarnmon
