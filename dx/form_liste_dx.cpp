#include "dx/form_liste_dx.h"

namespace korvalen::dx {

UserDxEditor::UserDxEditor(const char* objectName, const QString& caption) : QWidget(nullptr, Qt::Window) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(caption);
}

TFormListeDXCC::TFormListeDXCC() : UserDxEditor("TFormListeDXCC", QStringLiteral("Mes DX")) {}

TFormListeDXCB::TFormListeDXCB() : UserDxEditor("TFormListeDXCB", QStringLiteral("Mes DX 11m")) {}

}  // namespace korvalen::dx
