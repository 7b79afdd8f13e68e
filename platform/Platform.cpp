#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace {
Platform* installedBinding = nullptr;
}

Platform& platform()
{
    if (!installedBinding) {
        std::fputs("mikroteilchen: no platform binding installed\n", stderr);
        std::abort();
    }
    return *installedBinding;
}

void installPlatform(Platform& binding)
{
    installedBinding = &binding;
}
