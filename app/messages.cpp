#include "app/messages.h"

#include <QApplication>

namespace korvalen {
namespace {
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}
}  // namespace

void SetMessageHandler(MessageHandler handler) { Handler() = std::move(handler); }

QMessageBox::StandardButton ShowMessage(QWidget* parent, MessageKind kind, const QString& text) {
    if (Handler()) return Handler()(kind, text);
    const QString title = QCoreApplication::applicationName();
    switch (kind) {
        case MessageKind::Plain:
            return QMessageBox::information(parent, title, text);
        case MessageKind::Warning:
            return QMessageBox::warning(parent, title, text);
        case MessageKind::Error:
            return QMessageBox::critical(parent, title, text);
        case MessageKind::Question:
            return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No);
    }
    return QMessageBox::NoButton;
}

void Beep() {
    if (Handler()) {
        Handler()(MessageKind::Plain, QString());
        return;
    }
    QApplication::beep();
}

}  // namespace korvalen
