#include "widgets/messages.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace korvalen::widgets {
namespace {
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}

// Lines up to this wide (pixels) are never wrapped.
constexpr int kWidestWholeLine = 900;

void KeepShortLinesWhole(QMessageBox& box) {
    // Qt wraps any line wider than about 500 pixels, which would leave the
    // closing question's "?" alone on a second line. Lines that fit easily
    // on the screen stay whole; longer ones (a system's reason) still wrap.
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label) return;
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& line : box.text().split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    label->setMinimumWidth(std::min(widest + metrics.averageCharWidth(), kWidestWholeLine));
}

}  // namespace

void SetMessageHandler(MessageHandler handler) { Handler() = std::move(handler); }

QMessageBox::StandardButton ShowMessage(QWidget* parent, MessageKind kind, const QString& text) {
    if (Handler()) return Handler()(kind, text);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (kind) {
        case MessageKind::Plain: break;
        case MessageKind::Warning: icon = QMessageBox::Warning; break;
        case MessageKind::Error: icon = QMessageBox::Critical; break;
        case MessageKind::Question:
            icon = QMessageBox::Question;
            buttons = QMessageBox::Yes | QMessageBox::No;
            break;
    }
    QMessageBox box(icon, QCoreApplication::applicationName(), text, buttons, parent);
    KeepShortLinesWhole(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void Beep() {
    if (Handler()) {
        Handler()(MessageKind::Plain, QString());
        return;
    }
    QApplication::beep();
}

}  // namespace korvalen::widgets
