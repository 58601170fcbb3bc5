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
    QMessageBox::Icon icon = QMessageBox::NoIcon;
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
        seen.icon = box->icon();
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

// Three kinds and the question: a plain box has no icon (it once showed the
// information icon).
TEST(MessageBox, EachKindHasItsIcon) {
    const struct {
        MessageKind kind;
        QMessageBox::StandardButton button;
        QMessageBox::Icon icon;
    } cases[] = {
        {MessageKind::Plain, QMessageBox::Ok, QMessageBox::NoIcon},
        {MessageKind::Warning, QMessageBox::Ok, QMessageBox::Warning},
        {MessageKind::Error, QMessageBox::Ok, QMessageBox::Critical},
        {MessageKind::Question, QMessageBox::Yes, QMessageBox::Question},
    };
    for (const auto& c : cases) {
        QMessageBox::StandardButton returned = QMessageBox::NoButton;
        const Seen seen = ShowAndAnswer(c.kind, QStringLiteral("Bitmap error"), c.button, &returned);
        EXPECT_EQ(seen.icon, c.icon) << static_cast<int>(c.kind);
        EXPECT_EQ(returned, c.button);
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
