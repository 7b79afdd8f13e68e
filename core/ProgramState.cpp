#include "core/ProgramState.h"

ProgramState state;
