#pragma once
// Every component carries its name as its objectName, so that tests and
// accessibility tools find it.
#include <QAction>
#include <QString>

namespace korvalen::widgets {

template <class W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QAction* NamedAction(const char* name, const QString& text, QObject* parent) {
    auto* a = new QAction(text, parent);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

}  // namespace korvalen::widgets
