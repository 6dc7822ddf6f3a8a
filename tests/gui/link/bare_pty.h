#pragma once

// A pseudo-terminal of the test's own (POSIX only): a serial link opens the
// terminal side at Path(), the test plays the receiver on the other side:
// writes what it sends, reads what the program wrote to it, and closes it to
// take the device away at a chosen moment.

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace zarnmon::test {

class CBarePty {
public:
    CBarePty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            path_ = QString::fromLatin1(::ptsname(master_));
        }
    }
    ~CBarePty() { Close(); }
    CBarePty(const CBarePty&) = delete;
    CBarePty& operator=(const CBarePty&) = delete;

    [[nodiscard]] const QString& Path() const { return path_; }
    bool Write(const QByteArray& bytes) const {
        return ::write(master_, bytes.constData(), static_cast<std::size_t>(bytes.size())) == bytes.size();
    }
    // What the program has written so far and the test has not read yet; never waits.
    [[nodiscard]] QByteArray ReadAvailable() const {
        QByteArray bytes;
        std::array<char, 512> buffer{};
        pollfd ready{master_, POLLIN, 0};
        while (master_ >= 0 && ::poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN) != 0) {
            const ssize_t n = ::read(master_, buffer.data(), buffer.size());
            if (n <= 0) {
                break;
            }
            bytes.append(buffer.data(), static_cast<qsizetype>(n));
        }
        return bytes;
    }
    void Close() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

private:
    int master_ = -1;
    QString path_;
};

}  // namespace zarnmon::test
