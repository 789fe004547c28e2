// The tick sequencer. Owns the song clock (SongPosition, SongRow), Tick,
// Speed, TickRate, SamplesPerTick, the Channel records, PanTable, the
// pattern-loop and pattern-delay counters and the row records. One
// replay_tick plays one tick: the row set-up at a row's first tick, then for
// each channel its note, continuing effect and voice, then the step to the
// next tick, row and order position.
#include <algorithm>

#include "module/pitch_table.h"
#include "replayer/channel.h"
#include "replayer/replayer.h"
#include "replayer/tick_places.h"

std::atomic<int32_t> SongPosition{0};
std::atomic<int32_t> SongRow{0};
int32_t Tick = 0;
int32_t Speed = kStartSpeed;
float TickRate = kStartTickRate;
int32_t SamplesPerTick = kStartSamplesPerTick;
Channel Channels[kMaxChannels];
float PanTable[kMaxChannels];
int32_t ChannelCount = 0;
int32_t LoopStartRow = 0;
int32_t LoopCounter = 0;
int32_t PatternDelay = 0;
PatternCell RowRecord[kMaxChannels];
void (*row_start_observer)(int32_t frame, int32_t position, int32_t row) = nullptr;
int32_t SongEndCount = 0;

namespace {

constexpr std::memory_order relaxed = std::memory_order_relaxed;

int32_t position() {
    return SongPosition.load(relaxed);
}
int32_t row() {
    return SongRow.load(relaxed);
}
int32_t high_nibble(const PatternCell& cell) {
    return cell.parameter >> 4;
}
int32_t low_nibble(const PatternCell& cell) {
    return cell.parameter & 15;
}

// A note or sample number outside the tables is played as none.
PatternCell cell_at(const Song& song, int32_t at_position, int32_t at_row, int32_t channel) {
    const Pattern& pattern = song.patterns[song.order_list[at_position]];
    PatternCell cell = pattern.channels[channel][at_row];
    if (cell.note_index < 0 || cell.note_index >= kNoteColumns) cell.note_index = -1;
    if (cell.sample_number > 31) cell.sample_number = 0;
    return cell;
}

void fetch_row_records(const Song& song) {
    for (int32_t c = 0; c < ChannelCount; ++c) RowRecord[c] = cell_at(song, position(), row(), c);
}

void raise_song_end() {
    song_list.song_ended = 1;
    ++SongEndCount;
}

void step_to_next_position(const Song& song) {
    int32_t next = position() + 1;
    if (next >= song.song_length) {
        next = 0;
        raise_song_end();
    }
    SongPosition.store(next, relaxed);
}

// Fxx: up to 32 a speed in ticks per row, above that a tempo.
void set_speed_or_tempo(int32_t p) {
    if (p <= 32) {
        Speed = p;
        return;
    }
    // 0.2 is the single-precision constant; product and quotient stay double.
    const double tick_rate = p * 2 * static_cast<double>(0.2f);
    TickRate = static_cast<float>(tick_rate);
    SamplesPerTick = static_cast<int32_t>(44100.0 / tick_rate);
}

// Bxx plays row 0 of the target in this very tick. A target at or beyond the
// song's end ends the song, as running off its last position does.
void jump_to_position(const Song& song, int32_t target) {
    if (target >= song.song_length) {
        target = 0;
        raise_song_end();
    }
    SongPosition.store(target, relaxed);
    SongRow.store(0, relaxed);
    LoopStartRow = 0;
    Tick = 0;
    fetch_row_records(song);
}

// E6y: E60 marks the loop start; E6y (y > 0) goes back there y times.
void loop_pattern(const Song& song, int32_t y) {
    if (y == 0) {
        LoopStartRow = row();
    } else {
        LoopCounter = LoopCounter == 0 ? y : LoopCounter - 1;
        if (LoopCounter > 0) SongRow.store(LoopStartRow, relaxed);
    }
    fetch_row_records(song);
}

void set_up_extended(const Song& song, Channel& ch, const PatternCell& cell) {
    const int32_t y = low_nibble(cell);
    switch (high_nibble(cell)) {
        case 0x1:
            ch.slide_up_speed = y;
            break;
        case 0x2:
            ch.slide_down_speed = y;
            break;
        case 0x6:
            loop_pattern(song, y);
            break;
        case 0xA:
            ch.fine_volume_slide = y;
            break;
        case 0xB:
            ch.fine_volume_slide = -y;
            break;
        case 0xC:
            ch.note_cut_tick = y;
            break;
        case 0xE:
            if (PatternDelay == 0) PatternDelay = y;
            break;
        default:
            break;
    }
}

// A B or E6 fetches new row records part-way, so every step reads the
// channel's record afresh and later steps see the new row's command.
void set_up_channel_row(const Song& song, int32_t c) {
    Channel& ch = Channels[c];
    const PatternCell& cell = RowRecord[c];
    ch.note_delay_tick = 0;
    ch.fine_volume_slide = 0;
    ch.volume_slide = 0;
    ch.note_cut_tick = -1;
    if (cell.command == 0xF) set_speed_or_tempo(cell.parameter);
    if (cell.command == 0xB) jump_to_position(song, cell.parameter);
    if (cell.command == 0x0) {
        ch.arpeggio_step = 0;
        ch.arpeggio_first = high_nibble(cell);
        ch.arpeggio_second = low_nibble(cell);
    }
    if (cell.command == 0x4) {
        if (low_nibble(cell) > 0) ch.vibrato_depth = low_nibble(cell);
        if (high_nibble(cell) > 0) ch.vibrato_speed = high_nibble(cell);
        if (cell.note_index != -1) ch.vibrato_position = 0;
    }
    if (cell.command == 0x7) {
        if (low_nibble(cell) > 0) ch.tremolo_depth = low_nibble(cell);
        if (high_nibble(cell) > 0) ch.tremolo_speed = high_nibble(cell);
        if (cell.note_index != -1) ch.tremolo_position = 0;
    }
    if (cell.command == 0x1 && cell.parameter > 0) ch.slide_up_speed = cell.parameter;
    if (cell.command == 0x2 && cell.parameter > 0) ch.slide_down_speed = cell.parameter;
    if (cell.command == 0xE) set_up_extended(song, ch, cell);
    if (cell.command == 0x6) ch.volume_slide = volume_slide_value(cell.parameter);
}

void play_channel_tick(Song& song, int32_t c) {
    Channel& ch = Channels[c];
    if (Tick == 0) trigger_note(song, c);
    if (ch.note_cut_tick != -1 && ch.note_cut_tick == Tick) {
        ch.volume = 0;
        ch.note_cut_tick = -1;
    }
    run_note_delay(c);
    const Sample& sample = song.samples[ch.sample_number];
    if (ch.period == 0 || ch.sample_number == 0 || sample.data == nullptr) {
        render_silent_tick(c);
        return;
    }
    int32_t tick_period = 0;
    int32_t tick_volume = 0;
    run_continuing_effect(song, c, tick_period, tick_volume);
    queue_tick_voice(c, ch, sample, tick_period, tick_volume);
}

// The first D of the row, looked up where the song stands at that moment,
// breaks to its parameter row of the next position; channels after a break
// are looked up at the new place.
bool break_pattern(const Song& song) {
    bool broke = false;
    for (int32_t c = 0; c < ChannelCount; ++c) {
        if (row() >= kRowsPerPattern) break;  // a break past row 63 has no cells to look up
        if (cell_at(song, position(), row(), c).command != 0xD) continue;
        // A D parameter is a plain row number here, not two decimal digits.
        SongRow.store(RowRecord[c].parameter, relaxed);
        step_to_next_position(song);
        Tick = 0;
        broke = true;
    }
    return broke;
}

void advance_tick(const Song& song) {
    if (++Tick < Speed) return;
    // EEx: Tick keeps counting while the row is held for its extra ticks.
    if (PatternDelay > 0) {
        --PatternDelay;
        return;
    }
    if (!break_pattern(song)) {
        SongRow.store(row() + 1, relaxed);
        Tick = 0;
    }
    // A D parameter above 63 lands here too and so skips one more position.
    if (row() >= kRowsPerPattern) {
        step_to_next_position(song);
        LoopStartRow = 0;
        SongRow.store(0, relaxed);
    }
}

}  // namespace

void reset_channels() {
    for (Channel& ch : Channels) {
        ch.period = 0;
        ch.sample_number = 0;
        ch.position = 0.0f;
        ch.note_cut_tick = -1;
        ch.note_delay_tick = -1;
    }
    std::fill(std::begin(PanTable), std::end(PanTable), 0.5f);
    ChannelCount = song_list.current != nullptr ? song_list.current->channel_count : 0;
}

void replay_tick(Song* song) {
    if (song == nullptr) {
        PendingFrames += SamplesPerTick;
        return;
    }
    ChannelCount = std::min(song->channel_count, kMaxChannels);
    fetch_row_records(*song);
    if (Tick == 0) {
        for (int32_t c = 0; c < ChannelCount; ++c) set_up_channel_row(*song, c);
        if (row_start_observer != nullptr) row_start_observer(PendingFrames, position(), row());
    }
    // The place this tick plays, after a B or E6 has moved it: what the
    // picture shows while the tick is heard.
    record_tick_place(MixedFrames + PendingFrames, position(), row());
    for (int32_t c = 0; c < ChannelCount; ++c) play_channel_tick(*song, c);
    // A voice reads nothing that a later channel's effects change.
    render_queued_voices();
    advance_tick(*song);
    PendingFrames += SamplesPerTick;
}
