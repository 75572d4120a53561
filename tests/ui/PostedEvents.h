#pragma once

#include <QCoreApplication>
#include <QTest>

#include <memory>

// Handles events until every event posted before the call, queued calls and
// zero-time timers included, has been delivered: the point after which
// something that was going to follow from them would have happened.
inline bool PostedEventsHandled()
{
    const auto reached = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [reached] { *reached = true; }, Qt::QueuedConnection);
    return QTest::qWaitFor([&] { return *reached; }, 5000);
}
