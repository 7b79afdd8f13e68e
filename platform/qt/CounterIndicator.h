#pragma once

// At the right of the menu bar while a real counter listens: "Zählrohr" and a thin bar with the
// input's level, so that the teacher sees the counter is heard and can set its volume. The bar
// shows the loudest sample of the last tenth of a second on a scale of -60 to 0 dBFS.

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;

class CounterIndicator : public QWidget {
    Q_OBJECT
public:
    // `takeLevel` gives the loudest sample (0 to 1) since it was last asked.
    CounterIndicator(std::function<float()> takeLevel, QWidget* parent = nullptr);

    // The input stopped: the lesson goes on simulated, and says so here.
    void showFailed();

private:
    std::function<float()> takeLevel_;
    QLabel* label_;
    QProgressBar* bar_;
};
