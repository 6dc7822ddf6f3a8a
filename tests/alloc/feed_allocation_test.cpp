// Receiving must not allocate: every buffer is allocated when the handlers
// are built. The global allocation functions are replaced here to count.

#include <atomic>
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "core/link/msg_dispatcher.h"
#include "support/stream_builder.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<std::size_t> g_allocations{0};

}  // namespace

// These replace the program's allocation functions, so new and free do
// belong together here.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (g_counting.load(std::memory_order_relaxed)) {
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace zarnmon {
namespace {

TEST(FeedAllocation, TenThousandMessagesAllocateNothingAfterStartUp) {
    const auto stream = test::MixedStream({.epochs = 460, .noiseFraction = 0.05, .noise = test::Noise::Random});
    ASSERT_GE(stream.handlers.size(), 10000u);

    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    CRxQueue queue(4096);
    for (int slot = 0; slot < dispatcher.HandlerCount(); ++slot) {
        dispatcher.Handler(slot).Subscribe(&queue);
    }

    g_allocations = 0;
    g_counting = true;
    for (std::size_t at = 0; at < stream.bytes.size(); at += 1024) {
        dispatcher.Feed(std::span(stream.bytes).subspan(at, std::min<std::size_t>(1024, stream.bytes.size() - at)));
        queue.Drain([](const CRxQueue::Notification&) {});
        clock.Advance(40);
    }
    g_counting = false;
    EXPECT_EQ(g_allocations.load(), 0u);
    EXPECT_GT(dispatcher.Handler(Slots::Msg99).LastLength(), 0u);
}

}  // namespace
}  // namespace zarnmon
