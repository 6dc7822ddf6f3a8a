// zarnmon: the monitor and diagnostic console for Zarn GNSS receivers.

#include "gui/app/zarnmon_app.h"

int main(int argc, char** argv) {
    zarnmon::CZarnMonApp app(argc, argv);
    return app.Run();
}
