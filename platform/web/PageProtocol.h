#pragma once

// The numbers the program and its page (page/*.js) exchange, written here once: the build
// reads these enums, and BoxStyle from platform/Platform.h, into the page's script
// page-enums.js (page/write-enums.js), where each is an object of the same name.

// What the page queued; pageTakeEvent() returns the kind.
enum PageEvent : int { NoEvent = 0, KeyEvent = 1, ButtonsEvent = 2, MenuEvent = 3, ResizeEvent = 4, SaveEvent = 5,
                        CounterProblemEvent = 6 };
// What may end a pageSleep() before its time.
enum WakeOn : int { WakeNever = 0, WakeOnInput = 1, WakeOnAny = 2 };
// What pagePrepareSound() found.
enum SoundState : int { SoundReady = 1, SoundUndecodable = -1, SoundSilent = 2 };
// What the page's address asks of a counter at the microphone (pageCounterAsked(), bits).
enum CounterAsk : int { CounterAsked = 1, CounterLogAsked = 2 };
// Why the counter does not listen (a CounterProblemEvent's value).
enum CounterProblem : int { CounterNoInput = 1, CounterRefused = 2, CounterUnreadable = 3 };
