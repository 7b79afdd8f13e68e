#pragma once

// The numbers the program and its page (page/*.js) exchange, written here once: the build
// reads these enums, and BoxStyle from platform/Platform.h, into the page's script
// page-enums.js (page/write-enums.js), where each is an object of the same name.

// What the page queued; pageTakeEvent() returns the kind.
enum PageEvent : int { NoEvent = 0, KeyEvent = 1, ButtonsEvent = 2, MenuEvent = 3, ResizeEvent = 4, SaveEvent = 5 };
// What may end a pageSleep() before its time.
enum WakeOn : int { WakeNever = 0, WakeOnInput = 1, WakeOnAny = 2 };
// What pagePrepareSound() found.
enum SoundState : int { SoundReady = 1, SoundUndecodable = -1, SoundSilent = 2 };
