#pragma once
// Message boxes and the short beep, the only ways failures reach the
// operator. They go through here so that a test can read what would have
// been shown and give the answer, without a modal box stopping it.
#include <QMessageBox>
#include <QString>

#include <functional>

namespace korvalen::widgets {

enum class MessageKind { Plain, Warning, Error, Question };

/// Shows @p text (Question: Yes/No, the others: one OK) and returns the button.
QMessageBox::StandardButton ShowMessage(QWidget* parent, MessageKind kind, const QString& text);

/// A short system beep for rejected input.
void Beep();

/// Replaces the boxes and the beep (tests); an empty handler restores them.
/// For the beep the handler is called with kind Plain and an empty text.
using MessageHandler = std::function<QMessageBox::StandardButton(MessageKind, const QString&)>;
void SetMessageHandler(MessageHandler handler);

}  // namespace korvalen::widgets
