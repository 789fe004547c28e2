// The body of an audio thread on a platform with real threads: the loop's
// steps back to back, with real sleeps between them. The virtual platform
// steps the loops itself as its clock advances.
#include <thread>

#include "platform/sound_device.h"
#include "platform/system.h"

void run_audio_loop(AudioLoopStep step) {
    for (;;) {
        LoopWait wait = step();
        switch (wait.kind) {
            case LoopWaitKind::exited:
                return;
            case LoopWaitKind::sleep:
                sleep_ms(wait.value);
                break;
            case LoopWaitKind::until_play_cursor:
                // Polled without sleeping; yielding keeps the core usable by
                // the device's own thread.
                std::this_thread::yield();
                break;
        }
    }
}
