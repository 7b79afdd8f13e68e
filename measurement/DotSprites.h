#pragma once

// Draws the blue and red particle dots once, captures them and restores the window.
void PrepareDotSprites();
