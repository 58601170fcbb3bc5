#include "info/info_forms.h"

namespace korvalen {

TFormInfo::TFormInfo(QWidget* parent) : QWidget(parent, Qt::Window), LabelVersion(new QLabel(this)) {
    setObjectName("TFormInfo");
    LabelVersion->setObjectName("LabelVersion");
}

TFormConvert::TFormConvert(QWidget* parent) : QWidget(parent, Qt::Window) { setObjectName("TFormConvert"); }

}  // namespace korvalen
