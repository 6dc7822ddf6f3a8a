#include "gui/displays/debug_view.h"

#include <QFontMetrics>
#include <QMessageBox>

#include "gui/state/configure_debug_log_dialog.h"
#include "gui/state/latin1.h"
#include "gui/state/log_file_dialog.h"

namespace zarnmon {

namespace {

constexpr int kOrigin = 20;
constexpr int kMargin = 20;
constexpr int kLineWidth = 800;
constexpr int kTextLeft = 2;

}  // namespace

CDrawDebug::CDrawDebug(int row, const CRxHandler& rx) : CContentElement(kNeverSeen), row_(row), rx_(rx) {
    const int top = kOrigin + kLineHeight * row;
    SetRect({kOrigin, top, kOrigin + kLineWidth, top + kLineHeight});
}

void CDrawDebug::Draw(QPainter& painter) {
    TakeForPaint();
    const ElementRect& r = Rect();
    const int y = (r.top + r.bottom) / 2 - painter.fontMetrics().height() / 2;
    painter.setPen(ColorFromRef(colors::kBlack));
    DrawAnchoredText(painter, r.left + kTextLeft, y, Latin1(rx_.RxSlot(row_)), HAnchor::Left, VAnchor::Top);
}

CViewDbgMsg::CViewDbgMsg(const ViewServices& services, QWidget* parent)
    : CElementView(services, parent), log_(Dispatcher().Rx()) {
    // The debug log writes its lines as each message comes.
    NotifyEveryMessage();
    CElementList& elements = MutableElements();
    for (int row = 0; row < kLines; ++row) {
        elements.Add<CDrawDebug>(row, Dispatcher().Rx());
    }

    auto* menu = new QMenu(QStringLiteral("&Debug Log"), this);
    logAction_ = menu->addAction(QStringLiteral("&Log Debug Data"));
    logAction_->setData(kLogDebugDataId);
    logAction_->setStatusTip(QStringLiteral("Log Debug Data"));
    logAction_->setCheckable(true);
    connect(logAction_, &QAction::triggered, this, &CViewDbgMsg::ToggleDebugLog);
    configureAction_ = menu->addAction(QStringLiteral("&Configure Debug Log..."));
    configureAction_->setData(kConfigureDebugLogId);
    configureAction_->setStatusTip(QStringLiteral("Configure which messages are logged from the debug data"));
    connect(configureAction_, &QAction::triggered, this, &CViewDbgMsg::ConfigureDebugLog);
    // A log that failed while writing has closed itself.
    connect(menu, &QMenu::aboutToShow, this, [this] { logAction_->setChecked(log_.IsOpen()); });
    addAction(menu->menuAction());
}

CViewDbgMsg::~CViewDbgMsg() {
    if (Context().autoConfigure) {
        Dispatcher().SendDisable(Slots::RxHandler, false);
    }
    log_.Stop();
}

const CDrawDebug& CViewDbgMsg::Line(int row) const {
    return static_cast<const CDrawDebug&>(Elements().At(static_cast<std::size_t>(row)));
}

void CViewDbgMsg::OnInitialUpdate() {
    SetExtent(Elements().Extent(kMargin));
    SubscribeTo(Slots::RxHandler);
}

void CViewDbgMsg::OnRxMessage(int /*slot*/) {
    UpdateAll();
    if (!log_.IsOpen()) {
        return;
    }
    if (!Receiver().LogsTakeMessages()) {
        log_.PassOver();
        return;
    }
    log_.SetMask(Context().debugLogMask.Get(Context().settings));
    log_.WriteDebugLog();
    ReportWriteFailure();
}

void CViewDbgMsg::ToggleDebugLog() {
    if (log_.IsOpen()) {
        log_.Stop();
    } else if (const QString path = ChooseLogFile(this, log_.File(), QStringLiteral("Log Debug Data"));
               !path.isEmpty()) {
        StartDebugLog(path);
    }
    // Triggering a checkable action flips its mark, whatever came of it.
    logAction_->setChecked(log_.IsOpen());
}

bool CViewDbgMsg::StartDebugLog(const QString& path) {
    const bool started = log_.Start(path.toStdString());
    logAction_->setChecked(started);
    if (!started) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("ZarnMon"),
                        LogOpenFailureText(path, log_.File().OpenError()), QMessageBox::Ok, this);
        box.exec();
    }
    return started;
}

void CViewDbgMsg::ConfigureDebugLog() {
    CConfigureDebugLogDialog dialog(Context().debugLogMask, Context().settings, this);
    dialog.exec();
}

void CViewDbgMsg::ReportWriteFailure() {
    const std::optional<LogFailure> failure = log_.TakeFailure();
    if (!failure) {
        return;
    }
    logAction_->setChecked(false);
    // Not modal: the failure was found while handling a message.
    auto* box = new QMessageBox(
        QMessageBox::Critical, QStringLiteral("ZarnMon"),
        LogWriteFailureText(QString::fromStdString(failure->path), QString::fromStdString(failure->reason)),
        QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace zarnmon
