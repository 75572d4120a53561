#pragma once

#include "ui/Message.h"

#include <QStringList>

// Takes the place of the message box for its lifetime and keeps what would
// have been shown.
class TMessageRecorder {
public:
    TMessageRecorder()
    {
        Previous = SetMessageHandler([this](QWidget*, const QString& text) { Messages << text; });
    }
    ~TMessageRecorder() { SetMessageHandler(Previous); }
    TMessageRecorder(const TMessageRecorder&) = delete;
    TMessageRecorder& operator=(const TMessageRecorder&) = delete;

    QStringList Messages;

private:
    TMessageHandler Previous;
};
