#pragma once
// The two user DX list editors. Their grids and the DX panel are not part of
// the program yet; the windows exist, hidden, from the start as the start-up
// order requires.
#include <QWidget>

namespace korvalen {

/// Editor of the user's ham DX list ("My DX").
class TFormListeDXCC : public QWidget {
    Q_OBJECT
public:
    explicit TFormListeDXCC(QWidget* parent = nullptr);
};

/// Editor of the user's 11-metre DX list ("My 11m DX").
class TFormListeDXCB : public QWidget {
    Q_OBJECT
public:
    explicit TFormListeDXCB(QWidget* parent = nullptr);
};

namespace dx {
/// Fills the viewer's working DX list from the chosen list (none yet).
inline void FillDxList() {}
}  // namespace dx

}  // namespace korvalen
