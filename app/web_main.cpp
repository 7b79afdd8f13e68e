#include "platform/web/WebPlatform.h"
#include "shell/MainProgram.h"

int main()
{
    WebPlatform binding;
    installPlatform(binding);
    return RunMainProgram();
}
