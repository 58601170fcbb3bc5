#pragma once
// TLabelUrl: a text label that opens its web address when clicked, blue and
// underlined under a pointing hand, as links look on a web page.
#include <QLabel>
#include <QString>
#include <QUrl>

#include <functional>

namespace korvalen::widgets {

class TLabelUrl : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Url READ Url WRITE setUrl)
public:
    explicit TLabelUrl(QWidget* parent = nullptr);

    /// The address opened by a click; empty at first.
    const QString& Url() const { return url_; }
    /// Sets the address and shows it as the label's text. A text set
    /// afterwards (a caption in the operator's language) stays the text;
    /// the address is still what a click opens.
    void setUrl(const QString& url);

signals:
    /// A click with the left button, before the address is opened: the
    /// owner's own step. Connected handlers add to the opening, they cannot
    /// stand in for it.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString url_;
    bool pressed_ = false;
};

/// What opens an address with the desktop's default handler; whether it
/// could. Tests put their own in place so that no browser is started; an
/// empty opener restores QDesktopServices::openUrl.
using UrlOpener = std::function<bool(const QUrl&)>;
void SetUrlOpener(UrlOpener opener);

/// Opens @p address with the opener in force; the outcome is not reported.
void OpenUrl(const QUrl& address);
/// Opens the help page @p helpFileName from the program's folder.
void OpenHelpPage(const QString& helpFileName);

}  // namespace korvalen::widgets
