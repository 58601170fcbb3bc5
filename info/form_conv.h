#pragma once
// The degrees-minutes-seconds converter, opened from the DX editors.
#include <QWidget>

namespace korvalen::info {

class TFormConv : public QWidget {
    Q_OBJECT
public:
    TFormConv();
};

}  // namespace korvalen::info
