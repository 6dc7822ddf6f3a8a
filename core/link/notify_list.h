#pragma once

// Subscriptions of windows to one message handler. A completed message is
// announced by posting WM_RX_MESSAGE with the handler's identity to each
// subscribed window; a window implements IRxWindow by queueing the
// notification (a posted Qt event in the program, a plain queue in tests and
// tools) and handles it later, outside the dispatcher. Nothing a subscriber
// does runs inside Feed.

#include <cstdint>
#include <vector>

namespace zarnmon {

class CMsgHandler;

inline constexpr std::uint32_t WM_RX_MESSAGE = 0x4DF;
inline constexpr std::uint32_t kRxMessageWParam = 0xFFFFFFFF;

class IRxWindow {
public:
    virtual ~IRxWindow() = default;
    // Must only queue: it is called while the dispatcher is working.
    virtual void PostRxMessage(std::uint32_t message, std::uint32_t wParam, const CMsgHandler* handler) = 0;
};

class CNotifyList {
public:
    // Returns the new subscription's id: never 0, unique within the list.
    std::uint32_t Add(IRxWindow* window);
    void Remove(std::uint32_t id);
    // Posts to every entry, newest first.
    void PostAll(const CMsgHandler* handler) const;
    [[nodiscard]] std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        IRxWindow* window;
        std::uint32_t id;
        std::uint32_t message;
    };

    [[nodiscard]] bool InUse(std::uint32_t id) const;

    std::vector<Entry> entries_;  // oldest first; walked backwards
    std::uint32_t lastId_ = 0;
};

// A plain FIFO of notifications for tests and headless tools: drain it after
// Feed returns. Capacity is reserved up front so posting does not allocate.
class CRxQueue final : public IRxWindow {
public:
    struct Notification {
        std::uint32_t message;
        std::uint32_t wParam;
        const CMsgHandler* handler;
    };

    explicit CRxQueue(std::size_t reserve = 1024) { pending_.reserve(reserve); }

    void PostRxMessage(std::uint32_t message, std::uint32_t wParam, const CMsgHandler* handler) override {
        pending_.push_back({message, wParam, handler});
    }

    // Hands every queued notification to fn, oldest first, then empties the
    // queue. Notifications posted while draining are handed over too.
    template <typename Fn>
    void Drain(Fn&& fn) {
        for (std::size_t i = 0; i < pending_.size(); ++i) {
            fn(pending_[i]);
        }
        pending_.clear();
    }

    [[nodiscard]] const std::vector<Notification>& Pending() const { return pending_; }
    void Discard() { pending_.clear(); }

private:
    std::vector<Notification> pending_;
};

}  // namespace zarnmon
