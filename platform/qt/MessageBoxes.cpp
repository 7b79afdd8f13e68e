#include "platform/qt/MessageBoxes.h"

#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

QMessageBox::Icon MessageBoxes::iconFor(int style)
{
    switch (style) {
    case 1:
        return QMessageBox::Information;
    case 19:
        return QMessageBox::Question;
    case kWarningStyle:
        return QMessageBox::Warning;
    default:
        return QMessageBox::NoIcon;
    }
}

QStringList MessageBoxes::linesOf(const QString& text)
{
    return text.split(QLatin1Char('|'));
}

int MessageBoxes::show(QWidget* parent, const Request& request)
{
    QStringList captions = request.captions.split(QLatin1Char('|'));
    const int buttonCount = static_cast<int>(captions.size());
    const int defaultButton = std::clamp(request.defaultButton, 1, buttonCount);

    QMessageBox box(parent);
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText);
    box.setText(linesOf(request.text).join(QLatin1Char('\n')));
    box.setIcon(iconFor(request.style));
    if (request.style == 147) {
        // The about look: the program's own icon where a notice would show a symbol.
        const QIcon icon = QApplication::windowIcon();
        if (!icon.isNull()) {
            const int extent = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
            box.setIconPixmap(icon.pixmap(QSize(extent, extent), box.devicePixelRatioF()));
        }
    }

    QList<QPushButton*> buttons;
    for (const QString& caption : captions)
        buttons.append(box.addButton(caption, QMessageBox::AcceptRole));
    box.setDefaultButton(buttons[defaultButton - 1]);
    if (buttonCount == 1)
        box.setEscapeButton(buttons.first());

    open_.append(&box);
    box.exec();
    open_.removeAll(QPointer<QMessageBox>(&box));
    open_.removeAll(QPointer<QMessageBox>());

    const int chosen = static_cast<int>(buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return chosen >= 0 ? chosen + 1 : defaultButton;
}

void MessageBoxes::rejectAll()
{
    const auto boxes = open_;
    for (const QPointer<QMessageBox>& box : boxes) {
        if (box)
            box->reject();
    }
}

int MessageBoxes::openCount() const
{
    return static_cast<int>(std::count_if(open_.begin(), open_.end(),
                                          [](const QPointer<QMessageBox>& box) { return !box.isNull(); }));
}
