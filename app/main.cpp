#include "platform/qt/QtPlatform.h"
#include "shell/MainProgram.h"

int main(int argc, char** argv)
{
    QtPlatform binding(argc, argv);
    installPlatform(binding);
    return RunMainProgram();
}
