#include "shell/ProgramState.h"

ProgramState state;
