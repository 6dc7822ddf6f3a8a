// zarnmon-sim on a pseudo-terminal, opened the way a serial port is: the real
// serial path, end to end, without hardware.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "core/link/msg_dispatcher.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

// Runs zarnmon-sim --pty and reads the path it prints; kills it when done.
class SimProcess {
  public:
    SimProcess() {
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::execl(ZARNMON_SIM_PROGRAM, "zarnmon-sim", "--pty", "--quiet", "--seconds", "30", nullptr);
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

    [[nodiscard]] const std::string& Path() const { return path_; }

  private:
    pid_t pid_ = -1;
    FILE* stream_ = nullptr;
    std::string path_;
};

TEST(PtyLink, CommandsGoInAndMessagesComeOutLikeASerialPort) {
    SimProcess sim;
    ASSERT_TRUE(sim.Path().starts_with("/dev/")) << sim.Path();
    const int fd = ::open(sim.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios mode{};
    ::tcgetattr(fd, &mode);
    ::cfmakeraw(&mode);
    ::tcsetattr(fd, TCSANOW, &mode);

    const std::string commands = "$JBIN,1,1\r$JBIN,99,1\r$JI\r";
    ASSERT_EQ(::write(fd, commands.data(), commands.size()), static_cast<ssize_t>(commands.size()));

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
    ::close(fd);
    const auto handlers = recorder.Handlers();
    EXPECT_NE(std::ranges::find(handlers, "Msg1"), handlers.end());
    EXPECT_NE(std::ranges::find(handlers, "Msg99"), handlers.end());
    EXPECT_NE(std::ranges::find(handlers, "ReplyHandler"), handlers.end()) << "the $JI reply";
    EXPECT_EQ(dispatcher.DroppedBytes(), 0u);
}

}  // namespace
}  // namespace zarnmon
