#include "info/form_conv.h"

namespace korvalen::info {

TFormConv::TFormConv() : QWidget(nullptr, Qt::Window) { setObjectName("TFormConv"); }

}  // namespace korvalen::info
