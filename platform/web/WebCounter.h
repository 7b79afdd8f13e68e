#pragma once

// A Geiger counter heard through the browser's microphone (mikroteilchen.html#zaehlrohr).
// The page (page/counter.js) asks for the microphone, and an audio worklet on the browser's
// audio thread gathers its first channel into blocks of about 20 ms and posts them to the
// page's thread. There each block goes through the click detector here at once, whatever the
// program is doing: it is always suspended in a wait or a paced step when the page runs, as
// Qt's input block arrives in the program's event processing. Only the counter's part of the
// binding core is touched, never the program, so this is no re-entry into a suspended command.

#include <string>

// Why the counter does not listen (a CounterProblem), as the box says it.
std::string CounterProblemText(int problem);
