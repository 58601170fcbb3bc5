#include "widgets/label_url.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMouseEvent>

namespace korvalen::widgets {

namespace {
UrlOpener& Opener() {
    static UrlOpener opener;
    return opener;
}
}  // namespace

void SetUrlOpener(UrlOpener opener) { Opener() = std::move(opener); }

void OpenUrl(const QUrl& address) {
    // A missing browser or page says nothing.
    if (Opener())
        Opener()(address);
    else
        QDesktopServices::openUrl(address);
}

void OpenHelpPage(const QString& helpFileName) {
    // From the program's folder whatever the current folder is, so that a
    // page opens the same from a shortcut or a terminal.
    OpenUrl(QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath()).filePath(helpFileName)));
}

TLabelUrl::TLabelUrl(QWidget* parent) : QLabel(QStringLiteral("Http://"), parent) {
    setTextFormat(Qt::PlainText);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(p);
    setCursor(Qt::PointingHandCursor);
}

void TLabelUrl::setUrl(const QString& url) {
    url_ = url;
    setText(url);
}

void TLabelUrl::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void TLabelUrl::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (!click) return;
    emit clicked();
    if (url_.isEmpty()) return;
    // Addresses without a scheme ("www.…") are taken as web addresses, as
    // the shell takes them.
    OpenUrl(QUrl::fromUserInput(url_));
}

}  // namespace korvalen::widgets
