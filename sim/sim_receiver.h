#pragma once

// The simulated Zarn receiver, as one object: it takes the bytes the monitor
// sends, lets receiver time pass, and hands back the bytes the receiver would
// have sent in that time. It knows nothing of links; the program's built-in
// simulator link, the zarnmon-sim transports and the tests all drive it the
// same way.
//
// Like a receiver after "$JOFF" it starts with every message off; commands
// (or the enable list) switch them on. Everything is deterministic for a
// given configuration and seed.

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/faults.h"
#include "sim/output_schedule.h"
#include "sim/receiver_commands.h"
#include "sim/sim_config.h"

namespace zarnmon::sim {

class CSkyModel;
class CMessageWriter;
class CWaasBroadcaster;

class CSimReceiver {
public:
    static constexpr std::uint32_t kTickMs = 50;
    static constexpr std::size_t kMaxCommandLength = 4096;

    explicit CSimReceiver(const SimConfig& config, const FaultRates& faults = {}, int geoCount = 2);
    ~CSimReceiver();
    CSimReceiver(const CSimReceiver&) = delete;
    CSimReceiver& operator=(const CSimReceiver&) = delete;

    // Bytes from the monitor: commands end in CR (a LF is taken too).
    void Receive(std::span<const std::uint8_t> bytes);
    // Lets ms of receiver time pass; the messages due in it are queued.
    void Advance(std::uint32_t ms);
    // Appends the queued output to out: nothing while a burst holds it back,
    // unless evenIfHeld (at the end of a run).
    void TakeOutput(std::vector<std::uint8_t>& out, bool evenIfHeld = false);

    [[nodiscard]] COutputSchedule& Schedule() { return schedule_; }
    [[nodiscard]] const FaultCounts& Faults() const { return faults_.Counts(); }
    // Messages sent intact, by the name of the monitor handler that stores them.
    [[nodiscard]] const std::map<std::string, std::uint64_t, std::less<>>& Sent() const { return sent_; }
    [[nodiscard]] std::uint64_t SentTotal() const;
    [[nodiscard]] std::uint64_t ElapsedMs() const { return elapsedMs_; }
    [[nodiscard]] const CReceiverCommands& Commands() const { return commands_; }

private:
    void RunTick();
    void Emit(const std::vector<std::uint8_t>& bytes);
    void EmitOutput(std::size_t output);

    SimConfig config_;
    // The sky's SBAS channels track the GEOs whose WAAS messages are sent.
    std::unique_ptr<CWaasBroadcaster> waas_;
    std::unique_ptr<CSkyModel> sky_;
    std::unique_ptr<CMessageWriter> writer_;
    COutputSchedule schedule_;
    CReceiverCommands commands_;
    CFaultInjector faults_;
    std::string pendingCommand_;
    std::vector<std::string> replies_;
    std::vector<std::uint8_t> scratch_;
    std::vector<std::uint8_t> output_;
    std::map<std::string, std::uint64_t, std::less<>> sent_;
    std::uint64_t elapsedMs_ = 0;
    std::int64_t tick_ = 0;
    bool silent_ = false;
    int burstHold_ = 0;
    int nextRx_ = 0;
};

// Calls fn with each complete message (frame or line) of bytes, in order.
void ForEachMessage(std::span<const std::uint8_t> bytes, const auto& fn) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto rest = bytes.subspan(at);
        std::size_t size = rest.size();
        if (rest.size() >= 8 && rest[0] == '$' && rest[1] == 'B' && rest[2] == 'I' && rest[3] == 'N') {
            size = std::min<std::size_t>(rest.size(), std::size_t{rest[6]} + (std::size_t{rest[7]} << 8) + 12);
        } else {
            for (std::size_t i = 0; i + 1 < rest.size(); ++i) {
                if (rest[i] == '\r' && rest[i + 1] == '\n') {
                    size = i + 2;
                    break;
                }
            }
        }
        fn(rest.first(size));
        at += size;
    }
}

// The monitor handler that stores a message.
[[nodiscard]] std::string_view HandlerFor(std::span<const std::uint8_t> message);

}  // namespace zarnmon::sim
