#pragma once

// Answers the next modal dialog or message box from inside its exec(): a
// repeating timer waits until a modal widget of the wanted type is shown and
// hands it to the answer, which closes it. Tests of commands that ask the user
// run offscreen this way, without anyone clicking.

#include <QApplication>
#include <QTimer>
#include <functional>

namespace zarnmon::test {

template <typename Widget>
void AnswerNextModal(std::function<void(Widget&)> answer) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        if (auto* widget = qobject_cast<Widget*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(*widget);
        }
    });
    timer->start(10);
}

}  // namespace zarnmon::test
