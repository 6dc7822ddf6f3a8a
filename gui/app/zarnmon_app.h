#pragma once

// The application object: it starts the program in order (settings, view
// types, dispatcher, main frame, command line, link, timer, windows), runs
// it, and at exit keeps the link settings.

#include <QApplication>
#include <memory>
#include <vector>

#include "core/app/command_line.h"
#include "core/app/settings_store.h"
#include "gui/app/doc_template.h"
#include "gui/app/main_frame.h"
#include "gui/state/app_context.h"

namespace zarnmon {

class CZarnMonApp {
public:
    CZarnMonApp(int& argc, char** argv);
    ~CZarnMonApp();
    CZarnMonApp(const CZarnMonApp&) = delete;
    CZarnMonApp& operator=(const CZarnMonApp&) = delete;

    // Start-up, event loop and exit; the program's exit status.
    int Run();

    // Start-up alone (tests drive the event loop themselves). False when the
    // program should end at once with status.
    bool Start(int& status);
    [[nodiscard]] CMainFrame& MainFrame() { return *frame_; }
    [[nodiscard]] CAppContext& Context() { return *context_; }
    [[nodiscard]] const CommandLine& Options() const { return commandLine_; }
    // Keeps the link settings and the profile; false (with a message on
    // standard error) when the profile could not be written.
    bool Exit();

private:
    void ReopenWindows();
    void StartSnapshot();

    void LoadViewSettings();

    QApplication app_;
    CSteadyTickClock clock_;
    CSettingsStore settings_;
    CommandLine commandLine_;
    std::unique_ptr<CAppContext> context_;
    std::vector<CMultiDocTempSpecial> templates_;
    std::unique_ptr<CMainFrame> frame_;
    int snapshotStatus_ = 0;
};

}  // namespace zarnmon
