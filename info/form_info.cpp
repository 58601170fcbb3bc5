#include "info/form_info.h"

#include "korvalen_version.h"
#include "widgets/named.h"

namespace korvalen::info {

TFormInfo::TFormInfo()
    : QWidget(nullptr, Qt::Window),
      LabelVersion(widgets::Named(new QLabel(QStringLiteral(KORVALEN_CAPTION), this), "LabelVersion")) {
    setObjectName("TFormInfo");
}

}  // namespace korvalen::info
