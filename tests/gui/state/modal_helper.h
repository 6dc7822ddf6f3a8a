#pragma once

// Answers the next modal dialog or message box from inside its exec(): a
// repeating timer waits until a modal widget of the wanted type is shown and
// hands it to the answer, which closes it. Tests of commands that ask the user
// run offscreen this way, without anyone clicking.
//
// A dialog that never comes (or another one in its place) must not hang the
// run: after the deadline the helper fails the test, names what it waited
// for, and closes whatever modal widget stands in the way.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace zarnmon::test {

inline constexpr int kModalDeadlineMs = 10000;

template <typename Widget>
void AnswerNextModal(std::function<void(Widget&)> answer, int deadlineMs = kModalDeadlineMs) {
    auto* timer = new QTimer(qApp);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, waited, deadlineMs, answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* widget = qobject_cast<Widget*>(modal)) {
            timer->stop();
            timer->deleteLater();
            answer(*widget);
            return;
        }
        if (waited->elapsed() < deadlineMs) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        ADD_FAILURE() << "no modal " << Widget::staticMetaObject.className() << " within " << deadlineMs << " ms"
                      << (modal != nullptr ? std::string(", closing a ") + modal->metaObject()->className()
                                           : std::string());
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else if (modal != nullptr) {
            modal->close();
        }
    });
    timer->start(10);
}

}  // namespace zarnmon::test
