#pragma once
// The information window. Its contents come with the release check; it
// exists, hidden, from the start, and already carries its version label.
#include <QLabel>
#include <QWidget>

namespace korvalen::info {

class TFormInfo : public QWidget {
    Q_OBJECT
public:
    TFormInfo();
    QLabel* const LabelVersion;
};

}  // namespace korvalen::info
