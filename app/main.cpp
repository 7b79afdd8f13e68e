#include "platform/qt/CounterInput.h"
#include "platform/qt/QtPlatform.h"
#include "shell/MainProgram.h"

#include <QAudioDevice>
#include <QCoreApplication>

int main(int argc, char** argv)
{
    QtPlatform binding(argc, argv);
    // The desktop entry's second action: a Geiger counter at the microphone or line input
    // registers the particles instead of the random draw.
    if (QCoreApplication::arguments().contains(QStringLiteral("--zaehlrohr")))
        binding.useCounter(CounterInput::defaultDevice());
    installPlatform(binding);
    return RunMainProgram();
}
