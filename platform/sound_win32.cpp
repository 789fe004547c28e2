// The sound seam on Windows: DirectSound 8 at priority level, one looping
// secondary buffer as the ring, and the audio loops on Win32 threads of the
// highest normal priority. The play cursor is counted with its wraps
// (platform/played_count.h), which tells when a block was written after its
// place had already been played: the ring ran dry. Such underruns are
// reported when the device closes.
#include <dsound.h>
#include <windows.h>

#include <cstdio>

#include "platform/callback_win32.h"
#include "platform/played_count.h"
#include "platform/sound_device.h"

namespace {

constexpr DWORD kSampleRate = 44'100;
constexpr WORD kChannels = 2;
constexpr WORD kBytesPerFrame = 4;

IDirectSound8* device = nullptr;
IDirectSoundBuffer* ring_buffer = nullptr;
DWORD ring_bytes = 0;
int32_t device_count = 0;
char device_error[512] = "";

// The cursor count, read by the streaming thread and the main thread.
SRWLOCK cursor_lock = SRWLOCK_INIT;
PlayedCount played_count;

AudioLoopStep thread_steps[2];
HANDLE threads[2];
int32_t thread_count = 0;

struct NamedResult {
    HRESULT result;
    const char* name;
};

constexpr NamedResult kResultNames[] = {
    {DSERR_NODRIVER, "DSERR_NODRIVER"},
    {DSERR_ALLOCATED, "DSERR_ALLOCATED"},
    {DSERR_OUTOFMEMORY, "DSERR_OUTOFMEMORY"},
    {DSERR_INVALIDPARAM, "DSERR_INVALIDPARAM"},
    {DSERR_UNINITIALIZED, "DSERR_UNINITIALIZED"},
    {DSERR_UNSUPPORTED, "DSERR_UNSUPPORTED"},
    {DSERR_PRIOLEVELNEEDED, "DSERR_PRIOLEVELNEEDED"},
    {DSERR_BADFORMAT, "DSERR_BADFORMAT"},
    {DSERR_GENERIC, "DSERR_GENERIC"},
};

void set_error(const char* what, HRESULT result, const char* advice) {
    const char* name = "DirectSound error";
    for (const NamedResult& known : kResultNames) {
        if (known.result == result) name = known.name;
    }
    std::snprintf(device_error, sizeof device_error,
                  "cannot open the sound device: %s (%s, 0x%08lX); %s", what, name,
                  static_cast<unsigned long>(result), advice);
}

BP_CALLED_BY_WINDOWS BOOL CALLBACK count_device(LPGUID guid, LPCSTR, LPCSTR, LPVOID) {
    // The primary sound driver comes with a null GUID and is not a device.
    if (guid) ++device_count;
    return TRUE;
}

DWORD read_cursor() {
    DWORD cursor = 0;
    if (ring_buffer) ring_buffer->GetCurrentPosition(&cursor, nullptr);
    return cursor % (ring_bytes ? ring_bytes : 1);
}

void note_block(DWORD offset) {
    AcquireSRWLockExclusive(&cursor_lock);
    count_play_cursor(&played_count, read_cursor());
    note_block_written(&played_count, offset);
    ReleaseSRWLockExclusive(&cursor_lock);
}

}  // namespace

// What an audio thread runs, as in platform/audio_thread.cpp, but yielding
// with SwitchToThread: std::this_thread::yield would bring all of winpthreads
// (32 KB) into the program for that one call.
void run_audio_loop(AudioLoopStep step) {
    for (;;) {
        LoopWait wait = step();
        switch (wait.kind) {
            case LoopWaitKind::exited:
                return;
            case LoopWaitKind::sleep:
                Sleep(wait.value);
                break;
            case LoopWaitKind::until_play_cursor:
                SwitchToThread();
                break;
        }
    }
}

namespace {

BP_CALLED_BY_WINDOWS DWORD WINAPI audio_thread_main(void* slot) {
    run_audio_loop(thread_steps[reinterpret_cast<uintptr_t>(slot)]);
    return 0;
}

}  // namespace

int32_t sound_count_devices() {
    device_count = 0;
    HRESULT result = DirectSoundEnumerateA(count_device, nullptr);
    if (FAILED(result)) {
        set_error("DirectSound cannot list the playback devices", result,
                  "check the sound driver in the Device Manager");
        return 0;
    }
    if (device_count <= 0) {
        std::snprintf(device_error, sizeof device_error,
                      "cannot open the sound device: DirectSound reports no playback device; "
                      "connect or enable one (Sound in the Control Panel) and start the demo "
                      "again");
    }
    return device_count;
}

bool sound_create_device() {
    HRESULT result = DirectSoundCreate8(nullptr, &device, nullptr);
    if (FAILED(result)) {
        device = nullptr;
        set_error("DirectSound cannot open the default playback device", result,
                  "close programs that hold the device exclusively, or update its driver");
        return false;
    }
    return true;
}

bool sound_set_priority_level(WindowHandle window) {
    if (!device) return false;
    HRESULT result = device->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_PRIORITY);
    if (FAILED(result)) {
        set_error("DirectSound refuses the priority level", result,
                  "close programs that hold the device exclusively");
        return false;
    }
    return true;
}

const char* sound_backend_error() {
    return device_error;
}

void sound_close_device() {
    sound_release_ring();
    if (device) device->Release();
    device = nullptr;
    if (played_count.underruns > 0) {
        std::fprintf(stderr,
                     "The sound ran dry %lld times (ring underruns): the music was not rendered "
                     "in time and old sound repeated.\n",
                     static_cast<long long>(played_count.underruns));
        played_count.underruns = 0;
    }
}

// No global focus: the ring is heard only while the demo's window has it.
bool sound_create_ring(uint32_t bytes) {
    sound_release_ring();
    if (!device) return false;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kChannels;
    format.nSamplesPerSec = kSampleRate;
    format.nAvgBytesPerSec = kSampleRate * kBytesPerFrame;
    format.nBlockAlign = kBytesPerFrame;
    format.wBitsPerSample = 16;
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_STATIC;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = &format;
    if (FAILED(device->CreateSoundBuffer(&description, &ring_buffer, nullptr))) {
        ring_buffer = nullptr;
        return false;
    }
    AcquireSRWLockExclusive(&cursor_lock);
    ring_bytes = bytes;
    // Underruns of an earlier ring are still to be reported.
    int64_t underruns = played_count.underruns;
    start_played_count(&played_count, bytes);
    played_count.underruns = underruns;
    ReleaseSRWLockExclusive(&cursor_lock);
    return true;
}

SoundResult sound_lock_ring(uint32_t offset, uint32_t bytes, bool entire, SoundRegions* regions) {
    *regions = SoundRegions{};
    if (!ring_buffer) return SoundResult::failed;
    if (!entire) note_block(offset);
    void* first = nullptr;
    void* second = nullptr;
    DWORD first_bytes = 0;
    DWORD second_bytes = 0;
    HRESULT result = ring_buffer->Lock(offset, bytes, &first, &first_bytes, &second, &second_bytes,
                                       entire ? DSBLOCK_ENTIREBUFFER : 0);
    if (result == DSERR_BUFFERLOST) return SoundResult::lost;
    if (FAILED(result)) return SoundResult::failed;
    *regions = {static_cast<uint8_t*>(first), first_bytes, static_cast<uint8_t*>(second),
                second_bytes};
    return SoundResult::ok;
}

void sound_unlock_ring(const SoundRegions& regions) {
    if (ring_buffer) {
        ring_buffer->Unlock(regions.first, regions.first_bytes, regions.second,
                            regions.second_bytes);
    }
}

SoundResult sound_restore_ring() {
    if (!ring_buffer) return SoundResult::failed;
    HRESULT result = ring_buffer->Restore();
    if (result == DSERR_BUFFERLOST) return SoundResult::lost;
    return FAILED(result) ? SoundResult::failed : SoundResult::ok;
}

void sound_play_ring_looping() {
    if (ring_buffer) ring_buffer->Play(0, 0, DSBPLAY_LOOPING);
}

uint32_t sound_read_play_cursor() {
    AcquireSRWLockExclusive(&cursor_lock);
    DWORD cursor = read_cursor();
    count_play_cursor(&played_count, cursor);
    ReleaseSRWLockExclusive(&cursor_lock);
    return cursor;
}

// DirectSound says nothing when its device goes; a play cursor that stands
// still is noticed above the seam.
bool sound_device_lost() {
    return false;
}

// The wraps are counted under the lock the streaming loop's reads take; it
// is held only for one GetCurrentPosition, so the picture never waits long.
int64_t sound_frames_heard() {
    AcquireSRWLockExclusive(&cursor_lock);
    count_play_cursor(&played_count, read_cursor());
    const int64_t frames = int64_t(played_count.played / 4);
    ReleaseSRWLockExclusive(&cursor_lock);
    return frames;
}

void sound_release_ring() {
    if (!ring_buffer) return;
    ring_buffer->Stop();
    ring_buffer->Release();
    ring_buffer = nullptr;
}

// The loops count themselves out before join is called, so waiting for the
// threads to end is short and nothing is ever terminated.
bool start_audio_thread(AudioLoopStep step) {
    if (thread_count == 2) return false;
    thread_steps[thread_count] = step;
    HANDLE thread = CreateThread(nullptr, 0, audio_thread_main,
                                 reinterpret_cast<void*>(uintptr_t(thread_count)), 0, nullptr);
    if (!thread) return false;
    SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
    threads[thread_count++] = thread;
    return true;
}

void join_audio_threads() {
    for (int32_t i = 0; i < thread_count; ++i) {
        WaitForSingleObject(threads[i], INFINITE);
        CloseHandle(threads[i]);
    }
    thread_count = 0;
}
