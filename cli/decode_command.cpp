#include "cli/decode_command.h"

#include <array>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/message_json.h"
#include "cli/option_values.h"
#include "cli/recording_input.h"
#include "core/link/msg_dispatcher.h"

namespace zarnmon::cli {

const char* const kDecodeHelp =
    "usage: zarnmon-cli decode [--chunk N] FILE|-\n"
    "\n"
    "Feeds a recorded receiver byte stream (for example a binary log) through the\n"
    "message dispatcher and prints one JSON object per line for every message a\n"
    "handler stores, in the order stored:\n"
    "  {\"seq\":K,\"slot\":S,\"handler\":\"Msg99\",\"length\":L,\"fields\":{...}}   binary frames\n"
    "  {\"seq\":K,\"slot\":S,\"handler\":\"NmeaHandler\",\"length\":L,\"text\":\"...\"} text lines\n"
    "and last {\"summary\":{\"dropped\":D,\"stored\":{\"Msg99\":n,...}}}.\n"
    "Text is the line as received (bytes read as ISO 8859-1); length counts the\n"
    "line end. Bytes that start no message are dropped and counted.\n"
    "\n"
    "  FILE        the recording; - reads standard input\n"
    "  --chunk N   feed N bytes at a time, 1 to 1048576 (default 1024), as a link\n"
    "              would deliver them\n"
    "  -h, --help  show this help\n"
    "\n"
    "Exit status: 0 on success, 2 for bad arguments or an unreadable file.\n";

namespace {

// A megabyte: more is no faster, and the buffer is allocated whole.
constexpr std::int64_t kMaxChunk = std::int64_t{1} << 20;

struct DecodeOptions {
    std::string path;
    std::size_t chunk = 1024;
};

// Prints each message as it is stored; counts what each handler stored.
// Lines gather in one buffer that goes out in large writes: a day's
// recording is close to a gigabyte of JSON.
class JsonPrinter final : public IStoreTap {
public:
    JsonPrinter(const CMsgDispatcher& dispatcher, std::ostream& out) : dispatcher_(dispatcher), out_(out) {}
    JsonPrinter(const JsonPrinter&) = delete;
    JsonPrinter& operator=(const JsonPrinter&) = delete;
    ~JsonPrinter() override { Flush(); }

    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        const int slot = dispatcher_.SlotOf(&handler);
        json_.BeginObject();
        json_.Key("seq");
        json_.Integer(++seq_);
        json_.Key("slot");
        json_.Integer(slot);
        json_.Key("handler");
        json_.String(handler.Name());
        json_.Key("length");
        json_.Integer(bytes.size());
        if (dynamic_cast<const CBinMsgHandler*>(&handler) != nullptr) {
            json_.Key("fields");
            WriteFrameFields(json_, bytes, dispatcher_.GpsUtcOffset().Get());
        } else {
            json_.Key("text");
            json_.Latin1String(bytes);
        }
        json_.EndObject();
        json_.EndLine();
        ++counts_.at(static_cast<std::size_t>(slot));
        if (json_.Text().size() >= kFlushBytes) {
            Flush();
        }
    }

    void PrintSummary() {
        json_.BeginObject();
        json_.Key("summary");
        json_.BeginObject();
        json_.Key("dropped");
        json_.Integer(dispatcher_.DroppedBytes());
        json_.Key("stored");
        json_.BeginObject();
        for (int slot = 0; slot < CMsgDispatcher::kMaxSlots; ++slot) {
            if (const std::uint64_t count = counts_.at(static_cast<std::size_t>(slot)); count > 0) {
                json_.Key(dispatcher_.Handler(slot).Name());
                json_.Integer(count);
            }
        }
        json_.EndObject();
        json_.EndObject();
        json_.EndObject();
        json_.EndLine();
        Flush();
    }

private:
    static constexpr std::size_t kFlushBytes = std::size_t{1} << 20;

    void Flush() {
        out_.write(json_.Text().data(), static_cast<std::streamsize>(json_.Text().size()));
        json_.Clear();
    }

    const CMsgDispatcher& dispatcher_;
    std::ostream& out_;
    JsonWriter json_;
    std::uint64_t seq_ = 0;
    std::array<std::uint64_t, CMsgDispatcher::kMaxSlots> counts_{};  // by slot, so the summary is in slot order
};

std::optional<DecodeOptions> ParseArgs(std::span<const std::string_view> args, std::ostream& err, bool& help) {
    DecodeOptions options;
    std::optional<std::string> path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help") {
            help = true;
            return std::nullopt;
        }
        if (arg == "--chunk" || arg.starts_with("--chunk=")) {
            std::string_view value;
            if (arg == "--chunk") {
                if (i + 1 == args.size()) {
                    err << "zarnmon-cli decode: --chunk needs a number of bytes\n";
                    return std::nullopt;
                }
                value = args[++i];
            } else {
                value = arg.substr(8);
            }
            const auto chunk = ParseWholeNumber(value, 1, kMaxChunk);
            if (!chunk) {
                err << "zarnmon-cli decode: --chunk takes a whole number of bytes from 1 to " << kMaxChunk << ", not '"
                    << value << "'\n";
                return std::nullopt;
            }
            options.chunk = static_cast<std::size_t>(*chunk);
        } else if (!TakeRecordingArgument("decode", arg, path, err)) {
            return std::nullopt;
        }
    }
    if (!RequireRecording("decode", path, err)) {
        return std::nullopt;
    }
    options.path = *path;
    return options;
}

}  // namespace

int RunDecode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    bool help = false;
    const auto options = ParseArgs(args, err, help);
    if (const auto status = EndsBeforeReading(help, options, kDecodeHelp, out)) {
        return *status;
    }

    // Offline: time does not pass, and nothing is ever sent.
    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    JsonPrinter printer(dispatcher, out);
    dispatcher.SetStoreTap(&printer);

    if (!FeedRecording("decode", options->path, options->chunk, dispatcher, err)) {
        return kExitUsage;
    }
    printer.PrintSummary();
    return kExitOk;
}

}  // namespace zarnmon::cli
