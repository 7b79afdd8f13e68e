#pragma once

// Flashes "  Halt !" and " ? ? " and then tells the class that travelling particles
// cannot be observed.
void ShowHaltNotice();
