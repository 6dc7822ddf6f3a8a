#pragma once

// The simulated receiver's command interpreter: "$J…" lines as the monitor
// and its users send them (single CR, no LF), applied to the output schedule
// and answered the way a receiver answers: a "$>" reply for queries, an
// acknowledgement sentence ("$PCSI,ACK,…", which the monitor routes to its
// beacon-reply handler) for accepted configuration, after a "$>" echo for
// settings other than message switches, and "$>ERR,…" otherwise.

#include <string>
#include <string_view>
#include <vector>

#include "sim/output_schedule.h"
#include "sim/sim_config.h"

namespace zarnmon::sim {

class CReceiverCommands {
public:
    CReceiverCommands(COutputSchedule& schedule, const SimConfig& config, std::vector<int> geoPrns);

    // Executes one command line (without its CR) and appends the reply lines,
    // each ending CR LF, to replies.
    void Execute(std::string_view line, std::vector<std::string>& replies);

    [[nodiscard]] std::size_t Accepted() const { return accepted_; }
    [[nodiscard]] std::size_t Rejected() const { return rejected_; }

private:
    using Args = std::vector<std::string_view>;

    bool Configure(std::string_view name, const Args& args, std::vector<std::string>& replies);
    bool Query(std::string_view name, const Args& args, std::vector<std::string>& replies) const;
    bool SetBinary(const Args& args);
    bool SetText(const Args& args);

    COutputSchedule& schedule_;
    const SimConfig& config_;
    std::vector<int> geoPrns_;
    std::string diffSource_ = "WAAS";
    double latitude_;
    double longitude_;
    std::size_t accepted_ = 0;
    std::size_t rejected_ = 0;
};

}  // namespace zarnmon::sim
