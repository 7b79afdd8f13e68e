#include "platform/qt/BoxDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>

namespace {

QIcon iconFor(BoxStyle style, const QStyle& look)
{
    switch (style) {
    case BoxStyle::Notice:
        return look.standardIcon(QStyle::SP_MessageBoxInformation);
    case BoxStyle::Explanation:
        return look.standardIcon(QStyle::SP_MessageBoxQuestion);
    case BoxStyle::Warning:
        return look.standardIcon(QStyle::SP_MessageBoxWarning);
    case BoxStyle::About:
        return QApplication::windowIcon();
    }
    return QIcon();
}

} // namespace

BoxDialog::BoxDialog(QWidget* parent, const Request& request)
    : QDialog(parent), icon_(new QLabel(this)), text_(new QLabel(this))
{
    setWindowTitle(request.title);
    const QStringList captions = request.captions.split(QLatin1Char('|'));
    defaultButton_ = std::clamp(request.defaultButton, 1, static_cast<int>(captions.size()));

    const QIcon icon = iconFor(request.style, *style());
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    if (!icon.isNull())
        icon_->setPixmap(icon.pixmap(QSize(iconSize, iconSize), devicePixelRatioF()));

    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(false);
    text_->setText(request.text.split(QLatin1Char('|')).join(QLatin1Char('\n')));
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttonBox = new QDialogButtonBox(this);
    for (const QString& caption : captions) {
        QPushButton* button = buttonBox->addButton(caption, QDialogButtonBox::AcceptRole);
        const int number = static_cast<int>(buttons_.size()) + 1;
        connect(button, &QPushButton::clicked, this, [this, number] { done(number); });
        buttons_.append(button);
    }
    buttons_[defaultButton_ - 1]->setDefault(true);
    buttons_[defaultButton_ - 1]->setFocus();

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon_, 0, 0, Qt::AlignTop);
    layout->addWidget(buttonBox, 1, 0, 1, 2);

    // The text's natural size, unless that is more than the screen holds.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() * 0.95 : QSize(4096, 4096);
    const QSize chrome(icon_->sizeHint().width() + 4 * layout->spacing() + 40,
                       buttonBox->sizeHint().height() + 4 * layout->spacing() + 40);
    const QSize natural = text_->sizeHint();
    if (natural.width() + chrome.width() <= room.width() && natural.height() + chrome.height() <= room.height()) {
        layout->addWidget(text_, 0, 1);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        return;
    }
    auto* scroller = new QScrollArea(this);
    scroller->setWidget(text_);
    scroller->setFrameShape(QFrame::NoFrame);
    layout->addWidget(scroller, 0, 1);
    resize((natural + chrome).boundedTo(room));
}

int BoxDialog::ask()
{
    const int chosen = exec();
    return chosen >= 1 ? chosen : defaultButton_;
}
