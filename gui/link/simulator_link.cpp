#include "gui/link/simulator_link.h"

#include <span>
#include <utility>

#include "sim/sim_receiver.h"

namespace zarnmon {

CSimulatorLink::CSimulatorLink(SimulatorOptions options, QObject* parent)
    : CLink(parent), options_(std::move(options)) {
    timer_.setInterval(kTickMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CSimulatorLink::deliverDue);
}

CSimulatorLink::~CSimulatorLink() = default;

QString CSimulatorLink::displayName() const { return QStringLiteral("Built-in simulator"); }

bool CSimulatorLink::open() {
    close();
    beginCycle();
    receiver_ = std::make_unique<sim::CSimReceiver>(options_.config, options_.faults, options_.geoCount);
    if (options_.allOutputsOn) {
        receiver_->Schedule().AllOn();
    }
    output_.clear();
    caughtUpAt_ = clock_->Now();
    timer_.start();
    reportOpened();
    return true;
}

void CSimulatorLink::close() {
    timer_.stop();
    reportClosed();
}

bool CSimulatorLink::write(const QByteArray& bytes) {
    if (!isOpen() || !receiver_) {
        return false;
    }
    receiver_->Receive(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
    return true;
}

void CSimulatorLink::deliverDue() {
    if (!isOpen() || !receiver_) {
        return;
    }
    const std::uint32_t now = clock_->Now();
    // Unsigned difference: right across the clock's 32-bit wrap.
    qint64 due = static_cast<std::uint32_t>(now - caughtUpAt_);
    caughtUpAt_ = now;
    if (due > kMaxCatchUpMs) {
        due = kMaxCatchUpMs;
    }
    if (due <= 0) {
        return;
    }
    receiver_->Advance(static_cast<std::uint32_t>(due));
    output_.clear();
    receiver_->TakeOutput(output_);
    if (!output_.empty()) {
        deliver(QByteArray(reinterpret_cast<const char*>(output_.data()), static_cast<qsizetype>(output_.size())));
    }
}

}  // namespace zarnmon
