#pragma once

#include <QString>

#include <functional>

class QWidget;

// A plain message box with an OK button and the program's name as its title.
// Every message the windows show to the user goes through here, so that a
// test can take the place of the box and read what would have been shown.
void ShowMessage(QWidget* parent, const QString& text);

using TMessageHandler = std::function<void(QWidget* parent, const QString& text)>;

// Replaces the message box by `handler` (an empty one restores the box);
// returns the handler that was in place.
TMessageHandler SetMessageHandler(TMessageHandler handler);
