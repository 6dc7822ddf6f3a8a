// zarnmon: the monitor and diagnostic console for Zarn GNSS receivers.

#include <iostream>
#include <string>
#include <vector>

#include "core/app/command_line.h"
#include "gui/app/zarnmon_app.h"

int main(int argc, char** argv) {
    // Help and version need no display: answer them before Qt looks for one
    // (over SSH or in a container there is none, and Qt would abort).
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const zarnmon::CommandLine early = zarnmon::ParseCommandLine(args, zarnmon::CommandLine{});
    if (early.help) {
        std::cout << zarnmon::HelpText();
        return 0;
    }
    if (early.version) {
        std::cout << zarnmon::kVersionText << '\n';
        return 0;
    }
    zarnmon::CZarnMonApp app(argc, argv);
    return app.Run();
}
