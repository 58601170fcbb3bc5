#pragma once
// The information window and the degrees-minutes-seconds converter. Their
// contents come with the release check and the converter; the windows exist,
// hidden, from the start, and the information window already carries its
// version label.
#include <QLabel>
#include <QWidget>

namespace korvalen::info {

class TFormInfo : public QWidget {
    Q_OBJECT
public:
    TFormInfo();
    QLabel* const LabelVersion;
};

class TFormConv : public QWidget {
    Q_OBJECT
public:
    TFormConv();
};

}  // namespace korvalen::info
