#pragma once
// The information window and the degrees-minutes-seconds converter. Their
// contents are not part of the program yet; the windows exist, hidden, from
// the start, and the information window already carries its version label.
#include <QLabel>
#include <QWidget>

namespace korvalen {

class TFormInfo : public QWidget {
    Q_OBJECT
public:
    explicit TFormInfo(QWidget* parent = nullptr);
    QLabel* const LabelVersion;
};

class TFormConvert : public QWidget {
    Q_OBJECT
public:
    explicit TFormConvert(QWidget* parent = nullptr);
};

}  // namespace korvalen
