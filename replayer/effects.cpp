// The effect commands seen from one channel: the note trigger at a row's
// first tick, the note delay (EDx), and the continuing effect that gives each
// tick its period and volume. Owns SineTable.
#include <algorithm>

#include "module/pitch_table.h"
#include "replayer/channel.h"
#include "replayer/replayer.h"

// First half of a sine wave scaled to 255; the second half is its negation.
const int32_t SineTable[32] = {0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212,
                               224, 235, 244, 250, 253, 255, 253, 250, 244, 235, 224,
                               212, 197, 180, 161, 141, 120, 97,  74,  49,  24};

namespace {

int32_t high_nibble(int32_t parameter) {
    return parameter >> 4;
}
int32_t low_nibble(int32_t parameter) {
    return parameter & 15;
}

int32_t wave_value(int32_t position) {
    const int32_t value = SineTable[position & 31];
    return (position & 63) >= 32 ? -value : value;
}

bool is_tone_portamento(int32_t command) {
    return command == 0x3 || command == 0x5;
}

void run_extended(Song& song, Channel& ch, int32_t parameter) {
    const int32_t y = low_nibble(parameter);
    switch (high_nibble(parameter)) {
        case 0x1:
            if (Tick == 0) ch.period -= 2 * y;
            ch.period = std::max(ch.period, slide_period_min());
            break;
        case 0x2:
            if (Tick == 0) ch.period += 2 * y;
            ch.period = std::min(ch.period, slide_period_max());
            break;
        case 0x5:
            song.samples[ch.sample_number].finetune = y >= 8 ? y - 16 : y;
            break;
        default:
            break;
    }
}

// The offsets step along the finetune rows, not along the notes.
void run_arpeggio(Channel& ch) {
    const int32_t offsets[3] = {0, ch.arpeggio_first, ch.arpeggio_second};
    const int32_t row = std::clamp(ch.finetune_row + offsets[ch.arpeggio_step], 0, 15);
    ch.period = PitchTable[row][ch.note_index];
    ch.arpeggio_step = ch.arpeggio_step == 2 ? 0 : ch.arpeggio_step + 1;
}

void slide_toward_target(Channel& ch) {
    const int32_t step = 2 * ch.portamento_speed;
    if (ch.period < ch.portamento_target) {
        ch.period = std::min(ch.period + step, ch.portamento_target);
    } else if (ch.period > ch.portamento_target) {
        ch.period = std::max(ch.period - step, ch.portamento_target);
    }
}

// Positions are free-running counters read modulo 64; keeping them modulo 64
// gives the same values and never overflows.
int32_t vibrato_offset(Channel& ch) {
    const int32_t v = wave_value(ch.vibrato_position) * ch.vibrato_depth / 256;
    ch.vibrato_position = (ch.vibrato_position + ch.vibrato_speed) & 63;
    return 2 * v;
}

int32_t tremolo_offset(Channel& ch) {
    const int32_t t = wave_value(ch.tremolo_position) * ch.tremolo_depth / 64;
    ch.tremolo_position = (ch.tremolo_position + ch.tremolo_speed) & 63;
    return t;
}

}  // namespace

// Both nibbles set, or neither, slide nothing.
int32_t volume_slide_value(int32_t parameter) {
    const int32_t x = high_nibble(parameter);
    const int32_t y = low_nibble(parameter);
    if (y == 0 && x > 0) return x;
    if (x == 0 && y > 0) return -y;
    return 0;
}

void trigger_note(const Song& song, int32_t c) {
    Channel& ch = Channels[c];
    const PatternCell& cell = RowRecord[c];
    const int32_t command = cell.command;
    const int32_t p = cell.parameter;
    if (cell.note_index == -1 && cell.sample_number == 0) {
        if (command == 0x3 && p > 0) ch.portamento_speed = p;
        if (command == 0x5) ch.volume_slide = volume_slide_value(p);
    } else {
        ch.volume_slide = 0;
        if (cell.sample_number > 0) ch.sample_number = cell.sample_number;
        // A sample number alone restarts the sample too.
        if (!is_tone_portamento(command) && PatternDelay == 0) ch.position = 0.0f;
        ch.vibrato_speed = 0;
        ch.vibrato_depth = 0;
        ch.vibrato_position = 0;
        if (cell.sample_number > 0 && command != 0x5 && command != 0x6 && PatternDelay == 0) {
            ch.volume = song.samples[cell.sample_number].volume;
        }
        if (command == 0xC) ch.volume = p;
        if (ch.sample_number > 0) {
            ch.finetune_row = song.samples[ch.sample_number].finetune + 8;
            if (cell.note_index != -1) ch.note_index = cell.note_index;
            const int32_t period = PitchTable[ch.finetune_row][ch.note_index];
            if (is_tone_portamento(command)) {
                ch.portamento_target = period;
                if (command == 0x3 && p > 0) ch.portamento_speed = p;
                if (command == 0x5) ch.volume_slide = volume_slide_value(p);
            } else {
                ch.period = period;
            }
        }
    }
    if (command == 0x9) ch.position = static_cast<float>(p * 256);
}

// EDy: the note played at tick 0 is put aside, silenced, and brought back at
// tick y. With y = 0 it never comes back: the restore waits for a later tick.
void run_note_delay(int32_t c) {
    const PatternCell& cell = RowRecord[c];
    if (cell.command != 0xE || high_nibble(cell.parameter) != 0xD) return;
    Channel& ch = Channels[c];
    if (Tick == 0) {
        ch.saved_volume = ch.volume;
        ch.saved_position = ch.position;
        ch.saved_period = ch.period;
        ch.volume = 0;
        ch.note_delay_tick = low_nibble(cell.parameter);
    } else if (Tick == ch.note_delay_tick) {
        ch.volume = ch.saved_volume;
        ch.position = ch.saved_position;
        ch.period = ch.saved_period;
        ch.note_delay_tick = -1;
    }
}

void run_continuing_effect(Song& song, int32_t c, int32_t& tick_period, int32_t& tick_volume) {
    Channel& ch = Channels[c];
    const int32_t command = RowRecord[c].command;
    const int32_t p = RowRecord[c].parameter;
    int32_t vibrato = 0;
    int32_t tremolo = 0;
    switch (command) {
        case 0x0:
            if (p > 0) run_arpeggio(ch);
            break;
        case 0x1:
            if (Tick > 0)
                ch.period = std::max(ch.period - 2 * ch.slide_up_speed, slide_period_min());
            break;
        case 0x2:
            if (Tick > 0)
                ch.period = std::min(ch.period + 2 * ch.slide_down_speed, slide_period_max());
            break;
        case 0x3:
        case 0x5:
            if (Tick > 0) slide_toward_target(ch);
            break;
        case 0x4:
        case 0x6:
            vibrato = vibrato_offset(ch);
            break;
        case 0x7:
            tremolo = tremolo_offset(ch);
            break;
        case 0xA:
            ch.volume_slide = volume_slide_value(p);
            break;
        case 0xC:
            ch.volume = p;
            break;
        case 0xE:
            run_extended(song, ch, p);
            break;
        default:
            break;
    }
    ch.volume += Tick == 0 ? ch.fine_volume_slide : ch.volume_slide;
    // Volume stops at 63: a volume of 64 plays as 63.
    ch.volume = std::clamp(ch.volume, 0, 63);
    tick_period = ch.period + vibrato;
    tick_volume = ch.volume + tremolo;
}
