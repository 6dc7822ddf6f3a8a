// zarnmon-sim: a simulated Zarn receiver on a pseudo-terminal, a TCP port or
// into a file.

#include <iostream>
#include <string_view>
#include <vector>

#include "sim/sim_options.h"
#include "sim/sim_receiver.h"
#include "sim/transports.h"

int main(int argc, char** argv) {
    using namespace zarnmon::sim;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto options = ParseSimOptions(args, std::cerr);
    if (!options) {
        return 2;
    }
    if (options->help) {
        std::cout << kSimHelp;
        return 0;
    }
    CSimReceiver receiver(options->config, options->faults, options->geoCount);
    std::string unused;
    receiver.Schedule().Enable(options->enable, unused);

    int status = 0;
    switch (options->transport) {
        case Transport::File:
            status = WriteToFile(receiver, *options, std::cerr);
            break;
        case Transport::Pty:
            status = ServePty(receiver, *options, std::cout, std::cerr);
            break;
        case Transport::Tcp:
            status = ServeTcp(receiver, *options, std::cout, std::cerr);
            break;
        case Transport::None:
            break;
    }
    if (!options->quiet) {
        std::cerr << "zarnmon-sim: " << static_cast<double>(receiver.ElapsedMs()) / 1000.0 << " s of receiver time, "
                  << receiver.SentTotal() << " messages sent intact, commands accepted "
                  << receiver.Commands().Accepted() << ", rejected " << receiver.Commands().Rejected()
                  << "\nzarnmon-sim: " << receiver.Faults().Summary() << '\n';
    }
    return status;
}
