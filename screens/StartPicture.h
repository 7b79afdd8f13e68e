#pragma once

// Loads "bild3c2.gif" afresh into backgroundPicture (giving the previous copy back) and
// draws it stretched over logical 4..316 x 4..196 with a black outline: the start picture,
// and the ground of every experiment screen.
void DrawStartPicture();
