// Real-time serving on POSIX systems: a pseudo-terminal the monitor opens as
// a serial port, or a loopback TCP socket. One loop serves both: wait up to a
// tick for bytes from the monitor, let the receiver's clock follow the wall
// clock, write what it produced. Output nobody reads is dropped, as a
// receiver's serial port drops it, rather than blocking the receiver.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "sim/transports.h"

namespace zarnmon::sim {

namespace {

// Set by SIGINT/SIGTERM; the only way a signal may talk to the loop.
volatile std::sig_atomic_t g_stop = 0;

void OnStopSignal(int /*signal*/) { g_stop = 1; }

constexpr std::size_t kMaxBacklog = 64 * 1024;

// Closes a descriptor when it goes out of scope.
class CFd {
public:
    explicit CFd(int fd = -1) : fd_(fd) {}
    ~CFd() { Reset(); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    void Reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    [[nodiscard]] int Get() const { return fd_; }

private:
    int fd_;
};

bool SetNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Serves the receiver on one connected descriptor until it closes, a stop
// signal arrives or the deadline passes; false when the deadline or a signal
// ended it.
class CRealTimeLoop {
public:
    CRealTimeLoop(CSimReceiver& receiver, double seconds)
        : receiver_(receiver),
          start_(std::chrono::steady_clock::now()),
          last_(start_),
          deadline_(seconds > 0 ? start_ + std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000))
                                : std::chrono::steady_clock::time_point::max()) {}

    [[nodiscard]] bool Expired() const { return g_stop != 0 || std::chrono::steady_clock::now() >= deadline_; }

    // Returns when the peer has gone (true) or the run should end (false).
    bool Serve(int fd, bool peerCanVanish) {
        std::array<std::uint8_t, 1024> input{};
        while (!Expired()) {
            pollfd p{fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, static_cast<int>(CSimReceiver::kTickMs / 2));
            if (ready < 0 && errno != EINTR) {
                return true;
            }
            if (ready > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                const ssize_t n = ::read(fd, input.data(), input.size());
                if (n > 0) {
                    receiver_.Receive(std::span(input).first(static_cast<std::size_t>(n)));
                } else if (peerCanVanish && (n == 0 || (errno != EAGAIN && errno != EINTR))) {
                    return true;
                }
            }
            Step(fd);
        }
        return false;
    }

    // Lets receiver time follow the wall clock; writes what it produced.
    void Step(int fd) {
        const auto now = std::chrono::steady_clock::now();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - last_).count();
        if (ms > 0) {
            receiver_.Advance(static_cast<std::uint32_t>(ms));
            last_ += std::chrono::milliseconds(ms);
        }
        receiver_.TakeOutput(backlog_);
        if (fd < 0) {
            backlog_.clear();
            return;
        }
        while (!backlog_.empty()) {
            const ssize_t n = ::write(fd, backlog_.data(), backlog_.size());
            if (n <= 0) {
                break;
            }
            backlog_.erase(backlog_.begin(), backlog_.begin() + n);
        }
        if (backlog_.size() > kMaxBacklog) {
            backlog_.clear();
        }
    }

private:
    CSimReceiver& receiver_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_;
    std::chrono::steady_clock::time_point deadline_;
    std::vector<std::uint8_t> backlog_;
};

void CatchStopSignals() {
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int ServePty(CSimReceiver& receiver, const SimOptions& options, std::ostream& out, std::ostream& err) {
    CatchStopSignals();
    CFd master(::posix_openpt(O_RDWR | O_NOCTTY));
    if (master.Get() < 0 || ::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0) {
        err << "zarnmon-sim: cannot open a pseudo-terminal: " << std::strerror(errno) << '\n';
        return 1;
    }
    const char* path = ::ptsname(master.Get());
    // Holding the terminal side open keeps the pseudo-terminal alive between
    // the monitor's connections; raw mode keeps it from echoing our output
    // back to us as if it were commands.
    CFd terminal(path != nullptr ? ::open(path, O_RDWR | O_NOCTTY) : -1);
    termios mode{};
    if (terminal.Get() < 0 || ::tcgetattr(terminal.Get(), &mode) != 0) {
        err << "zarnmon-sim: cannot set up the pseudo-terminal: " << std::strerror(errno) << '\n';
        return 1;
    }
    ::cfmakeraw(&mode);
    ::tcsetattr(terminal.Get(), TCSANOW, &mode);
    SetNonBlocking(master.Get());
    out << path << std::endl;

    CRealTimeLoop loop(receiver, options.seconds);
    while (loop.Serve(master.Get(), false)) {
    }
    return 0;
}

int ServeTcp(CSimReceiver& receiver, const SimOptions& options, std::ostream& out, std::ostream& err) {
    CatchStopSignals();
    CFd listener(::socket(AF_INET, SOCK_STREAM, 0));
    const int yes = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(options.tcpPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (listener.Get() < 0 || ::setsockopt(listener.Get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
        ::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.Get(), 1) != 0) {
        err << "zarnmon-sim: cannot listen on 127.0.0.1:" << options.tcpPort << ": " << std::strerror(errno) << '\n';
        return 1;
    }
    out << "127.0.0.1:" << options.tcpPort << std::endl;

    CRealTimeLoop loop(receiver, options.seconds);
    while (!loop.Expired()) {
        // The receiver runs on while nobody is connected; its output is lost.
        pollfd p{listener.Get(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(CSimReceiver::kTickMs)) <= 0) {
            loop.Step(-1);
            continue;
        }
        CFd client(::accept(listener.Get(), nullptr, nullptr));
        if (client.Get() < 0) {
            continue;
        }
        SetNonBlocking(client.Get());
        if (!loop.Serve(client.Get(), true)) {
            break;
        }
    }
    return 0;
}

}  // namespace zarnmon::sim
