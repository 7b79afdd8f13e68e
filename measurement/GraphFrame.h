#pragma once

// The empty frequency graph: margin, panel, border, grid lines, count labels, centre line.
void DrawGraphFrame();
