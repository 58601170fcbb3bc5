#include "dx/dx_forms.h"

namespace korvalen {

TFormListeDXCC::TFormListeDXCC(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("TFormListeDXCC");
    setWindowTitle("Mes DX");
}

TFormListeDXCB::TFormListeDXCB(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("TFormListeDXCB");
    setWindowTitle("Mes DX 11m");
}

}  // namespace korvalen
