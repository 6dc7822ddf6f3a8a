// zarnmon-sim over its real transports: a pseudo-terminal opened the way a
// serial port is, and a loopback TCP socket; end to end, without hardware.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "core/link/msg_dispatcher.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

// Runs zarnmon-sim with a transport and reads the address it prints first;
// kills it when done.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args) {
        args.insert(args.begin(), "zarnmon-sim");
        for (const char* extra : {"--quiet", "--seconds", "30"}) {
            args.emplace_back(extra);
        }
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::execv(ZARNMON_SIM_PROGRAM, argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        FILE* stream = ::fdopen(out[0], "r");
        char line[256] = {};
        if (stream != nullptr && std::fgets(line, sizeof line, stream) != nullptr) {
            path_ = line;
            while (!path_.empty() && path_.back() == '\n') {
                path_.pop_back();
            }
        }
        stream_ = stream;
    }
    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stream_ != nullptr) {
            std::fclose(stream_);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first line the simulator printed: a device path or host:port.
    [[nodiscard]] const std::string& Path() const { return path_; }

private:
    pid_t pid_ = -1;
    FILE* stream_ = nullptr;
    std::string path_;
};

// Sends the commands on fd and feeds what comes back to a dispatcher until
// message 99 arrives or 5 s pass; returns the handlers that stored something.
std::vector<std::string> Exchange(int fd, std::string_view commands, std::uint32_t& dropped) {
    EXPECT_EQ(::write(fd, commands.data(), commands.size()), static_cast<ssize_t>(commands.size()));
    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    test::StoreRecorder recorder;
    dispatcher.SetStoreTap(&recorder);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::array<std::uint8_t, 1024> chunk{};
    while (std::chrono::steady_clock::now() < deadline && dispatcher.Handler(Slots::Msg99).LastLength() == 0) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) > 0) {
            const ssize_t n = ::read(fd, chunk.data(), chunk.size());
            if (n > 0) {
                dispatcher.Feed(std::span(chunk).first(static_cast<std::size_t>(n)));
            }
        }
    }
    dropped = dispatcher.DroppedBytes();
    return recorder.Handlers();
}

void ExpectAnswered(const std::vector<std::string>& handlers) {
    for (const char* handler : {"Msg1", "Msg99", "ReplyHandler", "BeaconReplyHandler"}) {
        EXPECT_NE(std::ranges::find(handlers, handler), handlers.end()) << handler;
    }
}

TEST(SimTransport, PtyCarriesCommandsAndMessagesLikeASerialPort) {
    SimProcess sim({"--pty"});
    ASSERT_TRUE(sim.Path().starts_with("/dev/")) << sim.Path();
    const int fd = ::open(sim.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios mode{};
    ::tcgetattr(fd, &mode);
    ::cfmakeraw(&mode);
    ::tcsetattr(fd, TCSANOW, &mode);
    std::uint32_t dropped = 0;
    ExpectAnswered(Exchange(fd, "$JBIN,1,1\r$JBIN,99,1\r$JI\r", dropped));
    EXPECT_EQ(dropped, 0u);
    ::close(fd);
}

TEST(SimTransport, TcpServesAClientOnLoopback) {
    const std::string port = std::to_string(20000 + ::getpid() % 20000);
    SimProcess sim({"--tcp", port});
    ASSERT_EQ(sim.Path(), "127.0.0.1:" + port);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    std::uint32_t dropped = 0;
    ExpectAnswered(Exchange(fd, "$JBIN,1,1\r$JBIN,99,1\r$JI\r", dropped));
    EXPECT_EQ(dropped, 0u);
    ::close(fd);
}

}  // namespace
}  // namespace zarnmon
