#include "rotator/close_guard.h"

#include "widgets/messages.h"

namespace korvalen::rotator {

bool CloseRefused(QWidget* window, const AzimuthLink& link, const languages::LanguageState& language) {
    if (!link.ClientConnected()) return false;
    widgets::ShowMessage(window, widgets::MessageKind::Warning, language.ConnectedMessage);
    return true;
}

}  // namespace korvalen::rotator
