#include "gui/link/link.h"

#include <algorithm>

namespace zarnmon {

CLink::CLink(QObject* parent) : QObject(parent) {}

CLink::~CLink() = default;

void CLink::beginCycle() {
    open_ = false;
    errorReported_ = false;
    writeFailureReported_ = false;
    pending_.clear();
    pendingAt_ = 0;
}

void CLink::reportOpened() {
    // Callers report only after configuring: the first byte comes from a set-up device.
    if (open_) {
        return;
    }
    open_ = true;
    emit opened();
}

void CLink::reportClosed() {
    pending_.clear();
    pendingAt_ = 0;
    // Without opened() there is nothing to close: a failed open is no disconnect.
    if (!open_) {
        return;
    }
    open_ = false;
    emit closed();
}

void CLink::reportError(const QString& message) {
    // A dying device keeps failing; the user hears about it once.
    if (errorReported_) {
        return;
    }
    errorReported_ = true;
    emit errorOccurred(message);
}

void CLink::reportWriteFailed(const QString& message) {
    // Every command sent to a stalled receiver fails the same way; one report
    // says it.
    if (writeFailureReported_) {
        return;
    }
    writeFailureReported_ = true;
    emit writeFailed(message);
}

void CLink::noteOutputTaken() { writeFailureReported_ = false; }

void CLink::deliver(const QByteArray& bytes) {
    // Late bytes of a closed link would land in the next link's fresh state.
    if (!open_ || bytes.isEmpty()) {
        return;
    }
    pending_.append(bytes);
    if (delivering_) {
        return;
    }
    delivering_ = true;
    while (open_ && pendingAt_ < pending_.size()) {
        const qsizetype n = std::min(kMaxChunk, pending_.size() - pendingAt_);
        const QByteArray chunk = pending_.sliced(pendingAt_, n);
        pendingAt_ += n;
        emit bytesReceived(chunk);
    }
    pending_.clear();
    pendingAt_ = 0;
    delivering_ = false;
}

void CLink::drain(QIODevice& device) {
    if (open_ && device.isOpen() && device.bytesAvailable() > 0) {
        deliver(device.readAll());
    }
}

}  // namespace zarnmon
