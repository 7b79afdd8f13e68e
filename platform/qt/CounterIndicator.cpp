#include "platform/qt/CounterIndicator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kUpdateMilliseconds = 100;
constexpr double kQuietestDb = -60.0;

int barValue(float level)
{
    if (level <= 0.0f)
        return 0;
    const double db = 20.0 * std::log10(static_cast<double>(level));
    return static_cast<int>(std::lround(std::clamp(100.0 * (1.0 - db / kQuietestDb), 0.0, 100.0)));
}

} // namespace

CounterIndicator::CounterIndicator(std::function<float()> takeLevel, QWidget* parent)
    : QWidget(parent), takeLevel_(std::move(takeLevel)), label_(new QLabel(QStringLiteral("Z\u00e4hlrohr"), this)),
      bar_(new QProgressBar(this))
{
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bar_->setFixedSize(60, 6);
    bar_->setAccessibleName(QStringLiteral("Eingangspegel"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->addWidget(label_);
    layout->addWidget(bar_);

    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { bar_->setValue(barValue(takeLevel_())); });
    timer->start(kUpdateMilliseconds);
}

void CounterIndicator::showFailed()
{
    label_->setText(QStringLiteral("Z\u00e4hlrohr: Eingang gest\u00f6rt, simuliert"));
    bar_->hide();
}
