// The real message boxes, not the tests' stand-in: what the operator sees.
#include "widgets/messages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QAbstractButton>
#include <QTimer>

namespace korvalen::widgets {
namespace {

struct Seen {
    int lines = 0;
    QString clicked;
};

// Shows @p text as @p kind, reads the box once it is up and presses
// @p answer; returns what the box looked like.
Seen ShowAndAnswer(MessageKind kind, const QString& text, QMessageBox::StandardButton answer,
                   QMessageBox::StandardButton* returned) {
    Seen seen;
    QTimer::singleShot(0, [&] {
        QMessageBox* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
        if (!box) {
            ADD_FAILURE() << "no message box came up";
            return;
        }
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QAbstractButton* button = box->button(answer);
        if (!label || !button) {
            ADD_FAILURE() << "the box has no text label or no such button";
            box->reject();  // never leave the test waiting on a modal box
            return;
        }
        seen.lines = label->height() / label->fontMetrics().lineSpacing();
        seen.clicked = button->text();
        button->click();
    });
    *returned = ShowMessage(nullptr, kind, text);
    return seen;
}

TEST(MessageBox, TheClosingQuestionStaysOnOneLineAndGivesTheButtonPressed) {
    const QString question =
        QString::fromUtf8("Voulez_vous enregistrer cette carte azimutale pour la session suivante ?");
    for (auto answer : {QMessageBox::Yes, QMessageBox::No}) {
        QMessageBox::StandardButton returned = QMessageBox::NoButton;
        Seen seen = ShowAndAnswer(MessageKind::Question, question, answer, &returned);
        EXPECT_EQ(seen.lines, 1);
        EXPECT_EQ(returned, answer);
    }
}

TEST(MessageBox, ALineTooWideForTheScreenStillWraps) {
    const QString reason = QString(QStringLiteral("disk full ")).repeated(40);
    QMessageBox::StandardButton returned = QMessageBox::NoButton;
    Seen seen = ShowAndAnswer(MessageKind::Error, reason, QMessageBox::Ok, &returned);
    EXPECT_GT(seen.lines, 1);
    EXPECT_EQ(returned, QMessageBox::Ok);
}

}  // namespace
}  // namespace korvalen::widgets
