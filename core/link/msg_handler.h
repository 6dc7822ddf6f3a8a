#pragma once

// Base of every message recogniser in the dispatcher's table.
//
// A handler recognises the start of its message at the front of the stream
// (TryStart), assembles it across as many chunks as it takes (Continue), checks
// it (Validate) and keeps the last good one exactly as received, optionally
// with a 16-entry history, stamped with the tick of completion. Subscribers are
// told by a posted notification carrying the handler's identity; they read the
// stored copy when they handle it. All buffers are allocated once, here, so
// receiving a message never allocates.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/link/msg_stream.h"
#include "core/link/notify_list.h"
#include "core/link/tick_clock.h"

namespace zarnmon {

// Sees every stored message synchronously, in the order stored, with the
// bytes exactly as received, after the handler has published it (so values it
// publishes, such as the GPS-UTC offset, are current). For recorders such as
// headless decoders; it must not call back into the dispatcher.
class IStoreTap {
public:
    virtual ~IStoreTap() = default;
    virtual void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) = 0;
};

class CMsgHandler {
public:
    static constexpr std::uint32_t kSlack = 24;
    static constexpr int kHistorySize = 16;

    CMsgHandler(std::string_view name, std::uint32_t capacity, bool hasHistory, const ITickClock& clock);
    virtual ~CMsgHandler() = default;
    CMsgHandler(const CMsgHandler&) = delete;
    CMsgHandler& operator=(const CMsgHandler&) = delete;

    // True when a message of this handler starts at the front of the stream;
    // sets owner to this handler while the message is still incomplete.
    virtual bool TryStart(CMsgStream& stream, CMsgHandler*& owner) = 0;
    // Takes more bytes; true while the message is still incomplete.
    virtual bool Continue(CMsgStream& stream) = 0;
    // Runs after a message was stored; the base notifies the subscribers.
    virtual void Publish();
    virtual bool Validate(std::span<const std::uint8_t> assembled);
    // Empties the last message and the history, then publishes.
    virtual void Clear();
    [[nodiscard]] virtual std::int32_t MinimumBytes() const = 0;
    // The byte strings this handler's messages start with: TryStart claims
    // nothing that does not begin with one of them.
    [[nodiscard]] virtual int PatternCount() const = 0;
    [[nodiscard]] virtual std::span<const std::uint8_t> Pattern(int i) const = 0;

    // While quiet, messages are stored but subscribers are not told: a
    // replay catching up tells them once at the end, with Announce.
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    // Tells the subscribers that the stored message may have changed.
    void Announce() const { subscribers_.PostAll(this); }

    std::uint32_t Subscribe(IRxWindow* window) { return subscribers_.Add(window); }
    void Unsubscribe(std::uint32_t id) { subscribers_.Remove(id); }
    [[nodiscard]] std::size_t SubscriberCount() const { return subscribers_.Size(); }

    // Milliseconds since the last completion; 0x7FFFFFFF when there was none.
    [[nodiscard]] std::uint32_t AgeMs() const;
    // History slot (i & 15); empty when the handler keeps no history.
    [[nodiscard]] std::span<const std::uint8_t> HistorySlot(int i) const;
    [[nodiscard]] int HistoryWriteIndex() const { return historyWrite_; }
    // Copies history slot (i & 15) as zero-terminated text of at most max
    // bytes; false (and dst[0] = 0) when that slot holds nothing newer.
    bool GetHistory(int i, char* dst, std::size_t max) const;

    // Keeps bytes as the last message, in the history, stamps and publishes.
    void Store(std::span<const std::uint8_t> bytes, bool resetAssembly);

    // The last stored message followed by a 0 byte, in its full buffer.
    [[nodiscard]] std::span<const std::uint8_t> LastBuffer() const { return last_; }
    // The last stored message alone.
    [[nodiscard]] std::span<const std::uint8_t> LastMessage() const { return {last_.data(), lastLength_}; }
    [[nodiscard]] std::uint32_t LastLength() const { return lastLength_; }
    [[nodiscard]] std::uint32_t LastCompletionTick() const { return lastCompletion_; }

    // Messages stored, and messages that failed their checksum or trailer
    // check, since the counts were last reset: what the link health shows.
    [[nodiscard]] std::uint64_t StoredCount() const { return stored_; }
    [[nodiscard]] std::uint64_t FailedCount() const { return failed_; }
    void ResetCounts() {
        stored_ = 0;
        failed_ = 0;
    }

    [[nodiscard]] std::string_view Name() const { return name_; }
    [[nodiscard]] std::uint32_t Capacity() const { return capacity_; }
    [[nodiscard]] bool HasHistory() const { return !history_.empty(); }
    [[nodiscard]] std::uint32_t AssembledLength() const { return assembled_; }

    void SetLinked(CMsgHandler* linked) { linked_ = linked; }
    [[nodiscard]] CMsgHandler* Linked() const { return linked_; }
    void SetStoreTap(IStoreTap* tap) { tap_ = tap; }

    // Forgets a half-assembled message.
    void ResetAssembly() {
        assembled_ = 0;
        assembly_[0] = 0;
    }

protected:
    // Validates the assembly and, if good, stores it; stamps the time either way.
    void Complete();
    // Takes up to n bytes from the stream onto the end of the assembly.
    std::int32_t Take(CMsgStream& stream, std::uint32_t n);

    [[nodiscard]] std::span<std::uint8_t> LastBufferForUpdate() { return last_; }
    [[nodiscard]] std::span<const std::uint8_t> Assembly() const { return {assembly_.data(), assembled_}; }
    [[nodiscard]] std::uint8_t* AssemblyEnd() { return assembly_.data() + assembled_; }
    void AddAssembled(std::int32_t n) { assembled_ += static_cast<std::uint32_t>(n); }
    [[nodiscard]] std::uint32_t Now() const { return clock_.Now(); }
    void Stamp() { lastCompletion_ = StampOf(clock_.Now()); }
    // Validate counts a message it rejects as damaged; a text handler that
    // routes a line elsewhere rejects nothing damaged.
    void CountFailedCheck() { ++failed_; }

private:
    std::string_view name_;
    std::uint32_t capacity_;
    const ITickClock& clock_;
    std::vector<std::uint8_t> last_;
    std::vector<std::uint8_t> assembly_;
    std::uint32_t assembled_ = 0;
    std::uint32_t lastLength_ = 0;
    std::uint32_t lastCompletion_ = 0;
    std::uint64_t stored_ = 0;
    std::uint64_t failed_ = 0;
    std::vector<std::uint8_t> history_;  // kHistorySize slots of capacity + kSlack
    int historyWrite_ = 0;
    CNotifyList subscribers_;
    CMsgHandler* linked_ = nullptr;
    IStoreTap* tap_ = nullptr;
    bool quiet_ = false;
};

}  // namespace zarnmon
