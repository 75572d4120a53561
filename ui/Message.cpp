#include "ui/Message.h"

#include <QMessageBox>

#include <utility>

namespace {

TMessageHandler& Handler()
{
    static TMessageHandler handler;
    return handler;
}

} // namespace

void ShowMessage(QWidget* parent, const QString& text)
{
    if (Handler()) {
        Handler()(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Lumenquilla"), text, QMessageBox::Ok, parent);
    box.exec();
}

TMessageHandler SetMessageHandler(TMessageHandler handler) { return std::exchange(Handler(), std::move(handler)); }
