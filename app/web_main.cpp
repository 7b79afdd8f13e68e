#include "platform/web/WebPlatform.h"
#include "shell/MainProgram.h"

int main()
{
    WebPlatform binding;
    // mikroteilchen.html#zaehlrohr: a Geiger counter at the microphone registers the particles
    // instead of the random draw; #zaehlrohr&protokoll logs what becomes of each click.
    binding.useCounterIfAsked();
    installPlatform(binding);
    return RunMainProgram();
}
