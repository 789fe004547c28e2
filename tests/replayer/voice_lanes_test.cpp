// The voices rendered side by side in lanes against the plain loops: random
// voices of every kind the sequencer queues, and the embedded module from
// its start, must give the same frames, positions and periods, with the
// lanes in SSE2 registers and (where the processor has it) in AVX2 ones.
#include "replayer/voice_lanes.h"

#include <cstring>
#include <random>

#include "assets/embedded.h"
#include "tests/replayer/engine_fixture.h"

namespace {

struct VoiceLanes : EngineTest {
    void TearDown() override {
        use_reference_voice_loops = false;
        allow_avx2_voice_lanes = true;
        EngineTest::TearDown();
    }
};

struct RandomVoice {
    std::vector<int16_t> data;
    Sample sample{};
    Channel channel{};
    int32_t tick_period = 0, tick_volume = 0;
};

// A sample with a loop (most of them), or a one-shot one, and a start
// anywhere from before the data to past the loop end, whole or not.
RandomVoice random_voice(std::mt19937& rng) {
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<>(low, high)(rng); };
    RandomVoice voice;
    const int length = pick(8, 4000);
    voice.data.assign(length + kSamplePadding, 0);
    for (int i = 0; i < length; ++i) voice.data[i] = static_cast<int16_t>(128 * pick(-128, 127));
    const int kind = pick(0, 5);
    int loop_start = 0, loop_length = kind == 0 ? 0 : kind == 1 ? 2 : 0;
    if (kind >= 2) {
        loop_start = pick(0, length - 4);
        loop_length = pick(4, length - loop_start);
    }
    voice.sample = {{}, length, 0, 64, loop_start, loop_length, voice.data.data()};
    const float whole = static_cast<float>(pick(0, length + 3));
    const float fraction = pick(0, 1) == 0 ? 0.0f : pick(1, 1 << 20) / float(1 << 20);
    voice.channel.position = whole + fraction;
    voice.channel.period = voice.tick_period = pick(100, 4000);
    voice.channel.note_delay_tick = -1;
    voice.tick_volume = pick(0, 70);
    return voice;
}

struct TickResult {
    std::vector<int16_t> frames;
    std::vector<float> positions;
    std::vector<int32_t> periods;
};

TickResult render_tick(std::vector<RandomVoice> voices, bool reference) {
    use_reference_voice_loops = reference;
    PendingFrames = 0;
    for (size_t c = 0; c < voices.size(); ++c) {
        Channels[c] = voices[c].channel;
        queue_tick_voice(int32_t(c), Channels[c], voices[c].sample, voices[c].tick_period,
                         voices[c].tick_volume);
    }
    render_queued_voices();
    TickResult result;
    for (size_t c = 0; c < voices.size(); ++c) {
        result.frames.insert(result.frames.end(), channel_buffers[c],
                             channel_buffers[c] + 2 * SamplesPerTick);
        result.positions.push_back(Channels[c].position);
        result.periods.push_back(Channels[c].period);
    }
    return result;
}

constexpr bool kLaneWidths[] = {false, true};  // AVX2 allowed

TEST_F(VoiceLanes, RandomVoicesRenderAsThePlainLoopsDo) {
    for (bool avx2 : kLaneWidths) {
        allow_avx2_voice_lanes = avx2;
        std::mt19937 rng(15);
        for (int trial = 0; trial < 300; ++trial) {
            SamplesPerTick = std::uniform_int_distribution<>(1, 1200)(rng);
            TickRate =
                44100.0f / SamplesPerTick * std::uniform_real_distribution<float>(0.9f, 1.1f)(rng);
            MasterVolume = std::uniform_int_distribution<>(0, 10)(rng) / 10.0f;
            Tick = 0;
            std::vector<RandomVoice> voices(std::uniform_int_distribution<>(1, kMaxChannels)(rng));
            for (RandomVoice& voice : voices) voice = random_voice(rng);
            const TickResult plain = render_tick(voices, true);
            const TickResult lanes = render_tick(voices, false);
            ASSERT_EQ(plain.frames, lanes.frames) << "trial " << trial;
            ASSERT_EQ(plain.positions, lanes.positions) << "trial " << trial;
            ASSERT_EQ(plain.periods, lanes.periods) << "trial " << trial;
        }
    }
}

std::vector<int16_t> render_embedded_module(bool reference) {
    use_reference_voice_loops = reference;
    free_all_songs();
    EXPECT_GE(load_song(embedded_module_mod, embedded_module_mod_size), 0);
    for (Channel& ch : Channels) ch = Channel{};
    MasterVolume = 1.0f;
    set_song_loop(1);
    set_fade_mode(FadeCommand::full_volume);
    reset_replayer_for_start();
    queue_song(0);
    constexpr int kBlocks = 400;  // 32 s, past the first loop of the song's longest samples
    std::vector<int16_t> audio;
    for (int block = 0; block < kBlocks; ++block) {
        const int16_t* mixed = render_block(kMixBlockFrames);
        audio.insert(audio.end(), mixed, mixed + 2 * kMixBlockFrames);
    }
    return audio;
}

TEST_F(VoiceLanes, TheEmbeddedModuleRendersAsWithThePlainLoops) {
    const std::vector<int16_t> plain = render_embedded_module(true);
    for (bool avx2 : kLaneWidths) {
        allow_avx2_voice_lanes = avx2;
        const std::vector<int16_t> lanes = render_embedded_module(false);
        ASSERT_EQ(plain.size(), lanes.size());
        EXPECT_TRUE(plain == lanes) << (avx2 ? "AVX2" : "SSE2");
    }
}

}  // namespace
