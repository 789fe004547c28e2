// What the web backend's files share: the page has one thread, so the audio
// loops are stepped on it whenever the program gives the browser its turn
// and gets control back (a flip, a sleep) and whenever the browser asks the
// ring for sound. No browser header here; the *_web.cpp files hold those.
#pragma once

// Steps every audio loop whose wait has ended, in the order threads would
// act, as often as each can go on without waiting. Re-entry is ignored.
void step_due_audio_loops();
