// Platforms without POSIX terminals and sockets: only file output.

#include "sim/transports.h"

namespace zarnmon::sim {

namespace {

int Unsupported(std::string_view what, std::ostream& err) {
    err << "zarnmon-sim: " << what << " is not available on this platform; use --out FILE --seconds N\n";
    return 1;
}

}  // namespace

int ServePty(CSimReceiver&, const SimOptions&, std::ostream&, std::ostream& err) { return Unsupported("--pty", err); }

int ServeTcp(CSimReceiver&, const SimOptions&, std::ostream&, std::ostream& err) { return Unsupported("--tcp", err); }

}  // namespace zarnmon::sim
