#include "dx/form_liste_dx.h"

#include "widgets/locale.h"

namespace korvalen::dx {

UserDxEditor::UserDxEditor(const char* objectName, const QString& caption, DxList list)
    : QWidget(nullptr, Qt::Window), list_(list) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(caption);
}

void UserDxEditor::Load(const std::vector<std::string>& records) {
    records_ = records;
    table_ = LoadUserDxTable(records, list_, widgets::DecimalSeparator());
}

TFormListeDXCC::TFormListeDXCC() : UserDxEditor("TFormListeDXCC", QStringLiteral("Mes DX"), DxList::Ham) {}

TFormListeDXCB::TFormListeDXCB()
    : UserDxEditor("TFormListeDXCB", QStringLiteral("Mes DX 11m"), DxList::ElevenMetre) {}

}  // namespace korvalen::dx
