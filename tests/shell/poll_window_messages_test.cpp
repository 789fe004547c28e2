// The message pump's promises to the render loops: one end request per
// Escape or close, seen only after the message that caused it, one message
// per call, and an empty queue that never ends anything.
#include <gtest/gtest.h>

#include <vector>

#include "platform/message_pump.h"
#include "platform/virtual_window.h"

namespace {

int key_downs_dispatched;

intptr_t counting_window_proc(WindowHandle window, uint32_t message, uintptr_t wparam,
                              intptr_t lparam) {
    if (message == message_key_down) ++key_downs_dispatched;
    return window_proc(window, message, wparam, lparam);
}

void open_window() {
    reset_virtual_window();
    key_downs_dispatched = 0;
    main_window = create_main_window("BIG PARADE", counting_window_proc, 10);
}

struct PumpCase {
    const char* name;
    void (*inject)();
    std::vector<bool> results;  // of consecutive poll_window_messages calls
};

const PumpCase kPumpCases[] = {
    {"empty queue", [] {}, {true, true, true}},
    // key-down (posts the character and the quit), character, quit, empty
    {"Escape", [] { virtual_press_key(key_escape); }, {true, true, false, true, true}},
    {"another key", [] { virtual_press_key('A'); }, {true, true, true, true}},
    {"Alt+Enter", [] { virtual_press_key(key_return, true); }, {true, true, true}},
    {"window closed", [] { virtual_close_window(); }, {true, false, true, true}},
    {"Escape behind a backlog",
     [] {
         virtual_press_key('A');
         virtual_press_key('1');
         virtual_press_key(key_escape);
     },
     {true, true, true, true, true, true, false, true}},
    {"Escape twice",
     [] {
         virtual_press_key(key_escape);
         virtual_press_key(key_escape);
     },
     {true, true, true, false, true, false, true}},
};

TEST(PollWindowMessages, EachEndRequestGivesExactlyOneFalseAfterItsOwnMessage) {
    for (const PumpCase& c : kPumpCases) {
        SCOPED_TRACE(c.name);
        open_window();
        c.inject();
        std::vector<bool> results;
        for (size_t i = 0; i < c.results.size(); ++i) results.push_back(poll_window_messages());
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(virtual_queued_messages(), 0) << "a message was left behind";
    }
}

TEST(PollWindowMessages, HandlesAtMostOneMessagePerCall) {
    open_window();
    for (uint32_t key = 'A'; key <= 'E'; ++key) virtual_press_key(key);
    EXPECT_TRUE(poll_window_messages());
    EXPECT_EQ(key_downs_dispatched, 1);
    EXPECT_EQ(virtual_queued_messages(), 5);  // four keys and the first one's character
}

TEST(PollWindowMessages, AltEnterSwitchesFullScreenWithoutEndingAnything) {
    open_window();
    virtual_press_key(key_return, true);
    EXPECT_TRUE(poll_window_messages());
    EXPECT_FALSE(virtual_window_fullscreen);
    virtual_press_key(key_return, true);
    EXPECT_TRUE(poll_window_messages());
    EXPECT_TRUE(virtual_window_fullscreen);
}

TEST(PollWindowMessages, ClosingTheWindowDestroysItOnce) {
    open_window();
    virtual_close_window();
    virtual_close_window();
    std::vector<bool> results;
    for (int i = 0; i < 4; ++i) results.push_back(poll_window_messages());
    EXPECT_EQ(results, (std::vector<bool>{true, true, false, true}));
    EXPECT_TRUE(virtual_window_destroyed);
}

}  // namespace
