// The link of zarnmon-cli send in builds without Qt: there is none.

#include "cli/decode_command.h"
#include "cli/send_command.h"

namespace zarnmon::cli {

int SendOverLink(const SendOptions& /*options*/, std::ostream& /*out*/, std::ostream& err) {
    err << "zarnmon-cli send: this build has no link support (it was built without Qt)\n";
    return kExitUsage;
}

}  // namespace zarnmon::cli
