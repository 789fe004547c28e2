// The replayer's inside: the Channel records, the rest of the sequencer state
// and the steps that replay_tick and render_block share between files.
#pragma once
#include <cstdint>

#include "module/song.h"

struct Channel {
    int32_t period;  // PitchTable value; 0 = silent
    int32_t tremolo_depth;
    int32_t tremolo_speed;
    int32_t sample_number;
    float position;  // sample points
    int32_t volume;  // 0..63
    int32_t volume_slide;
    int32_t note_cut_tick;  // -1 = none
    int32_t note_index;     // PitchTable column
    int32_t finetune_row;   // sample finetune + 8
    int32_t fine_volume_slide;
    int32_t vibrato_depth;
    int32_t vibrato_speed;
    int32_t note_delay_tick;  // 0 or -1 = none
    int32_t arpeggio_step;
    int32_t arpeggio_first;
    int32_t arpeggio_second;
    int32_t slide_up_speed;
    int32_t slide_down_speed;
    int32_t vibrato_position;  // used modulo 64
    int32_t tremolo_position;  // used modulo 64
    int32_t saved_volume;      // put aside by EDx
    float saved_position;
    int32_t saved_period;
    int32_t portamento_speed;
    int32_t portamento_target;
};

extern Channel Channels[kMaxChannels];
extern float PanTable[kMaxChannels];
extern int32_t ChannelCount;
extern int32_t LoopStartRow;
extern int32_t LoopCounter;
extern int32_t PatternDelay;
// The cells this tick plays, one per channel.
extern PatternCell RowRecord[kMaxChannels];
extern const int32_t SineTable[32];

// Row set-up effects and continuing effects (effects.cpp).
void trigger_note(const Song& song, int32_t channel);
void run_note_delay(int32_t channel);
// Runs the channel's continuing effect; gives the tick period and volume.
void run_continuing_effect(Song& song, int32_t channel, int32_t& tick_period, int32_t& tick_volume);
int32_t volume_slide_value(int32_t parameter);

// Voice rendering (voice.cpp): SamplesPerTick frames at frame PendingFrames.
// render_tick_voice renders one channel at once; replay_tick queues every
// channel of the tick and renders the queue when all are set up.
void render_tick_voice(int32_t channel, Channel& state, const Sample& sample, int32_t tick_period,
                       int32_t tick_volume);
void queue_tick_voice(int32_t channel, Channel& state, const Sample& sample, int32_t tick_period,
                      int32_t tick_volume);
void render_queued_voices();
void render_silent_tick(int32_t channel);

// Song control between ticks (song_control.cpp).
void apply_fade_command();
void apply_song_switch();
