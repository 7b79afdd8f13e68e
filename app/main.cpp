#include "platform/qt/CounterInput.h"
#include "platform/qt/QtPlatform.h"
#include "shell/MainProgram.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QtPlatform binding(argc, argv);
    // The desktop entry's second action: a Geiger counter at the microphone or line input
    // registers the particles instead of the random draw.
    // --zaehlrohr-protokoll FILE writes what it hears there, for checking a set-up.
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype logAt = arguments.indexOf(QStringLiteral("--zaehlrohr-protokoll"));
    if (logAt > 0 && logAt + 1 < arguments.size())
        binding.logCounterTo(arguments[logAt + 1]);
    if (arguments.contains(QStringLiteral("--zaehlrohr")))
        binding.useCounter(CounterInput::defaultDevice());
    installPlatform(binding);
    return RunMainProgram();
}
