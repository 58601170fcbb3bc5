#include "info/form_info.h"

#include <QHBoxLayout>
#include <QImage>
#include <QPixmap>
#include <QShowEvent>
#include <QVBoxLayout>

#include "data/resources.h"
#include "info/maker_pages.h"
#include "korvalen_version.h"
#include "languages/tables.h"
#include "widgets/messages.h"
#include "widgets/named.h"

namespace korvalen::info {

namespace {

using languages::kInfo;

// A built-in picture with its background made transparent, so that the
// window's own colour shows around it whatever the style.
QImage Picture(const char* path) { return widgets::PictureWithout(path, data::kPictureBackground); }

widgets::TLabelUrl* Link(const char* name, const QString& url, QWidget* parent) {
    auto* label = widgets::Named(new widgets::TLabelUrl(parent), name);
    label->setUrl(url);
    return label;
}

constexpr int kMargin = 12;

}  // namespace

TFormInfo::TFormInfo(languages::LanguageState& language, ReleaseCheck& check)
    : QWidget(nullptr, Qt::Window),
      Panel1(widgets::Named(new QLabel(this), "Panel1")),
      Image1(widgets::Named(new widgets::ImageWidget(this), "Image1")),
      Label1(widgets::Named(new QLabel(QStringLiteral(KORVALEN_CAPTION), this), "Label1")),
      Label2(widgets::Named(new QLabel(QLatin1String(kAuthor), this), "Label2")),
      LabelOther(widgets::Named(new QLabel(languages::Before(kInfo.LabelOther), this), "LabelOther")),
      LabelUrl1(Link("LabelUrl1", QLatin1String(languages::kMakerSite), this)),
      LabelUrl3(Link("LabelUrl3", QLatin1String(kMakerSecondSite), this)),
      Label3(widgets::Named(new QLabel(QLatin1String(kGroupName), this), "Label3")),
      LabelUrl2(Link("LabelUrl2", QLatin1String(kDiscussionGroup), this)),
      SpeedButton1(widgets::Named(new QToolButton(this), "SpeedButton1")),
      BitBtnNewRelease(
          widgets::Named(new QPushButton(languages::Before(kInfo.BitBtnNewRelease), this), "BitBtnNewRelease")),
      CheckBoxVersion(
          widgets::Named(new QCheckBox(languages::Before(kInfo.CheckBoxVersion), this), "CheckBoxVersion")),
      BitBtn1(widgets::Named(new QPushButton(QStringLiteral("OK"), this), "BitBtn1")),
      language_(language),
      check_(check) {
    setObjectName("TFormInfo");
    setWindowTitle(QStringLiteral("Info"));

    // The logo on a raised panel.
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setMargin(4);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setPixmap(QPixmap::fromImage(Picture(data::kLogoPath)));

    Image1->setImage(Picture(data::kInfoIconPath));
    Image1->setFixedSize(Image1->image().size());
    QFont big = Label1->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    Label1->setFont(big);

    QPalette green = LabelOther->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    LabelOther->setPalette(green);

    const QImage donation = Picture(data::kDonationPath);
    SpeedButton1->setIcon(QPixmap::fromImage(donation));
    SpeedButton1->setIconSize(donation.size());
    SpeedButton1->setFixedSize(donation.size());
    // The picture is the whole button, as on a web page.
    SpeedButton1->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0px; }"));
    SpeedButton1->setCursor(Qt::PointingHandCursor);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    // The window takes the size of its texts, which the language changes.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Panel1);
    auto* title = new QHBoxLayout;
    title->addWidget(Image1);
    title->addWidget(Label1);
    title->addStretch();
    layout->addLayout(title);
    layout->addWidget(Label2);
    layout->addSpacing(6);
    layout->addWidget(LabelOther);
    auto* links = new QVBoxLayout;
    links->addWidget(LabelUrl1);
    links->addWidget(LabelUrl3);
    links->addSpacing(10);
    links->addWidget(Label3);
    links->addWidget(LabelUrl2);
    links->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addLayout(links);
    middle->addStretch();
    middle->addWidget(SpeedButton1);
    layout->addLayout(middle);
    layout->addSpacing(6);
    layout->addWidget(BitBtnNewRelease);
    layout->addWidget(CheckBoxVersion);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(BitBtn1);
    layout->addLayout(bottom);

    connect(SpeedButton1, &QToolButton::clicked, this, &TFormInfo::SpeedButton1Click);
    connect(BitBtnNewRelease, &QPushButton::clicked, this, &TFormInfo::BitBtnNewReleaseClick);
    // The box's state, however it changed: a click, the keyboard, or a
    // screen reader's toggle, which clicks nothing. When the box follows
    // CheckAtStart, the setting it hands back is the one it already holds.
    connect(CheckBoxVersion, &QCheckBox::toggled, this, &TFormInfo::CheckBoxVersionClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormInfo::BitBtn1Click);
    // Made at its first use: the box starts as CheckAtStart stands, then
    // follows it.
    CheckBoxVersion->setChecked(check_.CheckAtStart());
    connect(&check_, &ReleaseCheck::CheckAtStartChanged, CheckBoxVersion, &QCheckBox::setChecked);
    connect(&check_, &ReleaseCheck::Answered, this, &TFormInfo::ShowReply);
}

void TFormInfo::ApplyInfoLanguage() {
    const QString& code = language_.LanguageCode;
    if (!languages::HasBlock(code)) return;
    LabelOther->setText(languages::Text(kInfo.LabelOther, code));
    BitBtnNewRelease->setText(languages::Text(kInfo.BitBtnNewRelease, code));
    CheckBoxVersion->setText(languages::Text(kInfo.CheckBoxVersion, code));
    language_.InternetFailureText = languages::Text(languages::kInternetFailure, code);
}

void TFormInfo::FormShow() {
    Label1->setText(QStringLiteral(KORVALEN_CAPTION));
    ApplyInfoLanguage();
    CheckBoxVersion->setChecked(check_.CheckAtStart());
}

void TFormInfo::showEvent(QShowEvent* event) {
    // Shown by the program, not restored from the task bar.
    if (!event->spontaneous()) FormShow();
    QWidget::showEvent(event);
}

void TFormInfo::SpeedButton1Click() { widgets::OpenUrl(QUrl(QLatin1String(kDonationPage))); }

void TFormInfo::BitBtnNewReleaseClick() {
    // The window keeps answering while the check runs; the pointer says
    // that an answer is coming.
    setCursor(Qt::BusyCursor);
    check_.CheckNow();
}

void TFormInfo::CheckBoxVersionClick() { check_.SetCheckAtStart(CheckBoxVersion->isChecked()); }

void TFormInfo::BitBtn1Click() { hide(); }

void TFormInfo::ShowReply(Reply reply) {
    unsetCursor();
    // The start-up check may answer before the window was ever shown.
    QWidget* const parent = isVisible() ? this : nullptr;
    switch (reply) {
        case Reply::None: break;
        case Reply::NewerRelease:
            widgets::Beep();
            widgets::ShowMessage(parent, widgets::MessageKind::Plain, language_.NewerReleaseText);
            break;
        case Reply::UpToDate:
            widgets::ShowMessage(parent, widgets::MessageKind::Plain, language_.UpToDateText);
            break;
        case Reply::InternetFailure:
            widgets::ShowMessage(parent, widgets::MessageKind::Warning, language_.InternetFailureText);
            break;
    }
}

}  // namespace korvalen::info
