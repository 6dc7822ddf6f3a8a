#include "gui/app/zarnmon_app.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTimer>
#include <ctime>
#include <iostream>

#include "core/app/settings_keys.h"
#include "gui/app/command_line_start.h"
#include "gui/app/view_printer.h"
#include "gui/app/view_registry.h"
#include "gui/app/window_arranger.h"
#include "gui/displays/element_view.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

std::vector<std::string> Arguments(const QApplication& app) {
    std::vector<std::string> args;
    const QStringList list = QCoreApplication::arguments();
    for (qsizetype i = 1; i < list.size(); ++i) {
        args.push_back(list[i].toStdString());
    }
    (void)app;
    return args;
}

}  // namespace

CZarnMonApp::CZarnMonApp(int& argc, char** argv) : app_(argc, argv) {
    QApplication::setApplicationName(QStringLiteral("ZarnMon"));
    QApplication::setApplicationVersion(Latin1(kApplicationVersion));
    QApplication::setDesktopFileName(Latin1(kDesktopId));
}

CZarnMonApp::~CZarnMonApp() = default;

bool CZarnMonApp::Start(int& status) {
    // Qt has taken its own options (-platform …) out of the arguments by now.
    const std::vector<std::string> args = Arguments(app_);
    const CommandLine first = ParseCommandLine(args, CommandLine{});
    const std::filesystem::path profile =
        first.settingsFile.empty() ? DefaultSettingsPath("zarnmon") : std::filesystem::path(first.settingsFile);
    if (const IoStatus loaded = settings_.Load(profile); !loaded.ok) {
        std::cerr << "zarnmon: cannot read the settings " << profile << ": " << loaded.reason << '\n';
        status = 2;
        return false;
    }
    commandLine_ = ParseCommandLine(args, DefaultCommandLine(LoadCommSettings(settings_), LoadLogSettings(settings_)));
    if (!commandLine_.problems.empty()) {
        for (const std::string& problem : commandLine_.problems) {
            std::cerr << "zarnmon: " << problem << '\n';
        }
        std::cerr << "zarnmon: see zarnmon --help\n";
        status = 2;
        return false;
    }

    templates_ = MakeTemplates();
    context_ = std::make_unique<CAppContext>(settings_, clock_);
    LoadViewSettings();
    context_->autoConfigure = commandLine_.autoConfigure;
    const CommSettings comm = LoadCommSettings(settings_);
    context_->link.port = commandLine_.port;
    context_->link.device = ResolveDevice(commandLine_.port, commandLine_.device);
    context_->link.baud = static_cast<std::uint32_t>(comm.baud);
    frame_ = std::make_unique<CMainFrame>(*context_, templates_);

    StartFromCommandLine(*frame_, commandLine_, context_->link);
    RestorePlacement(settings_, *frame_);
    frame_->show();
    const bool firstStart = !OpenWindowsStored(settings_);
    ReopenWindows();
    if (!commandLine_.snapshotDir.empty()) {
        StartSnapshot();
    }
    if (firstStart) {
        TileWindows(frame_->MdiArea());
    }
    return true;
}

void CZarnMonApp::ReopenWindows() {
    for (const int templateId : ViewsToReopen(settings_)) {
        frame_->OpenView(templateId);
    }
}

void CZarnMonApp::StartSnapshot() {
    // Every view the program has and the link's health beside them, then the
    // run, then a picture of each.
    for (const auto& templ : templates_) {
        if (templ.Available()) {
            frame_->OpenView(templ.Type().templateId);
        }
    }
    frame_->LinkHealth().show();
    QTimer::singleShot(commandLine_.snapshotSeconds * 1000, &app_, [this] {
        const QDir dir(QString::fromStdString(commandLine_.snapshotDir));
        if (!dir.mkpath(QStringLiteral("."))) {
            std::cerr << "zarnmon: cannot create " << commandLine_.snapshotDir << '\n';
            snapshotStatus_ = 1;
        } else {
            const auto save = [this, &dir](QWidget& widget, const QString& name) {
                const QString path = dir.filePath(name + QStringLiteral(".png"));
                // A data view shows all it has, not just what its window fits,
                // at the screen's pixel density.
                auto* view = qobject_cast<CElementView*>(&widget);
                if (!(view != nullptr ? QPixmap::fromImage(ViewImage(*view, view->devicePixelRatioF())) : widget.grab())
                         .save(path)) {
                    std::cerr << "zarnmon: cannot write " << path.toStdString() << '\n';
                    snapshotStatus_ = 1;
                }
            };
            save(*frame_, QStringLiteral("ZarnMon"));
            for (QMdiSubWindow* window : frame_->MdiArea().subWindowList()) {
                QWidget& view = window->widget() != nullptr ? *window->widget() : *window;
                save(view, window->objectName());
                // Printing checked without a printer: each view through the print path.
                const QString pdf = dir.filePath(window->objectName() + QStringLiteral(".pdf"));
                if (commandLine_.snapshotPdf && !SaveViewAsPdf(view, frame_->PrintHeaderOf(*window), pdf)) {
                    std::cerr << "zarnmon: cannot write " << pdf.toStdString() << '\n';
                    snapshotStatus_ = 1;
                }
            }
        }
        frame_->close();
    });
}

void CZarnMonApp::LoadViewSettings() {
    const ViewPreferences stored = LoadViewPreferences(settings_, {context_->ionoScale, false});
    const double metres = IonoScaleMetres(stored.ionoScale);
    // A hand-edited scale the dialog could not have set keeps the default.
    if (metres >= kMinIonoScaleMetres && metres <= kMaxIonoScaleMetres) {
        context_->ionoScale = stored.ionoScale;
    }
    // NEU errors need a reference: without a stored location the mode stays off
    // rather than showing errors against nothing.
    context_->showNeuErrors =
        stored.showNeuErrors && LoadReferencePosition(context_->reference, settings_, GeoPosition{});
    context_->showLinkHealth = stored.showLinkHealth;
}

bool CZarnMonApp::Exit() {
    SaveViewPreferences(settings_, context_->ViewChoices());
    SaveCommSettings(settings_, CommSettingsOf(context_->link));
    return SaveProfileNow(settings_);
}

int CZarnMonApp::Run() {
    int status = 0;
    if (!Start(status)) {
        return status;
    }
    const int loop = QApplication::exec();
    const bool saved = Exit();
    if (snapshotStatus_ != 0) {
        return snapshotStatus_;
    }
    return loop != 0 ? loop : (saved ? 0 : 1);
}

}  // namespace zarnmon
