#pragma once

// Serial line errors (break, framing, overrun, parity…) as the diagnostic
// log shows them: one "<CE-%s>" line listing the error flags that were
// raised, in a fixed order, never a message to the user. The flag values are
// those of the classic comm-error word, so logs read the same on every
// platform.
//
// Qt 6's QSerialPort no longer reports framing, parity or break errors; on
// Linux the driver's error counters (TIOCGICOUNT) still do, for real UARTs
// and most USB serial adapters. CLineErrorWatch reads them after every
// receive and turns new counts into flags; where the driver keeps no
// counters (pseudo-terminals, CDC-ACM) it stays silent.

#include <cstdint>
#include <string>

namespace zarnmon {

namespace CommError {
enum : std::uint32_t {
    RxOver = 0x0001,
    Overrun = 0x0002,
    RxParity = 0x0004,
    Frame = 0x0008,
    Break = 0x0010,
    TxFull = 0x0100,
    Ioe = 0x0400,
    Mode = 0x8000,
};
}  // namespace CommError

// The flag list of a "<CE-%s>" line: " CE_BREAK CE_FRAME…" in the fixed
// order, cut to 31 characters as the fixed 32-byte buffer it was always
// built in cut it.
[[nodiscard]] std::string CommErrorList(std::uint32_t flags);
// The whole line without its newline: "<CE- CE_FRAME>".
[[nodiscard]] std::string CommErrorLine(std::uint32_t flags);

class CLineErrorWatch {
public:
    // Starts watching the open descriptor; forgets the previous one.
    void Reset(long long descriptor);
    // Flags of the errors counted since the last call; 0 when none or when
    // the driver keeps no counters.
    [[nodiscard]] std::uint32_t Poll();

private:
    struct Counts {
        int frame = 0;
        int overrun = 0;
        int parity = 0;
        int brk = 0;
        int bufOverrun = 0;
    };
    bool Read(Counts& counts) const;

    long long descriptor_ = -1;
    bool supported_ = false;
    Counts last_;
};

}  // namespace zarnmon
