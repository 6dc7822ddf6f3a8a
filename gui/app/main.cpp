// zarnmon: the monitor and diagnostic console for Zarn GNSS receivers.

#include <iostream>
#include <string>
#include <vector>

#include "core/app/command_line.h"
#include "gui/app/toolkit_notices.h"
#include "gui/app/zarnmon_app.h"

int main(int argc, char** argv) {
    // Help, version and mistakes need no display: answer them before Qt looks
    // for one (over SSH or in a container there is none, and Qt would abort).
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const zarnmon::CommandLine early =
        zarnmon::ParseCommandLine(zarnmon::WithoutToolkitOptions(args), zarnmon::CommandLine{});
    if (early.help) {
        std::cout << zarnmon::HelpText();
        return 0;
    }
    if (early.version) {
        std::cout << zarnmon::kVersionText << '\n';
        return 0;
    }
    if (!early.problems.empty()) {
        for (const std::string& problem : early.problems) {
            std::cerr << "zarnmon: " << problem << '\n';
        }
        std::cerr << zarnmon::UsageLine() << "zarnmon: see zarnmon --help\n";
        return 2;
    }
    if (!early.verbose) {
        zarnmon::QuietenRoutineToolkitNotices();
    }
    zarnmon::CZarnMonApp app(argc, argv);
    return app.Run();
}
