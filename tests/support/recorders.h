#pragma once

// Test doubles around the dispatcher: a store tap that records every stored
// message and a sender that records every command.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/command_sender.h"
#include "core/link/msg_handler.h"

namespace zarnmon::test {

struct StoredMessage {
    std::string handler;
    std::vector<std::uint8_t> bytes;
};

class StoreRecorder final : public IStoreTap {
public:
    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        stored.push_back({std::string(handler.Name()), {bytes.begin(), bytes.end()}});
    }
    [[nodiscard]] std::vector<std::string> Handlers() const {
        std::vector<std::string> names;
        for (const auto& m : stored) {
            names.push_back(m.handler);
        }
        return names;
    }
    std::vector<StoredMessage> stored;
};

class RecordingSender final : public ICommandSender {
public:
    bool Send(std::string_view bytes, bool showErrors) override {
        sent.emplace_back(bytes);
        shown.push_back(showErrors);
        return linkOpen;
    }
    bool linkOpen = true;
    std::vector<std::string> sent;
    std::vector<bool> shown;
};

// The captures are stored with bare LF line ends; receivers end lines in CR LF.
inline std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out.push_back('\r');
        }
        out.push_back(text[i]);
    }
    return out;
}

inline std::span<const std::uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace zarnmon::test
