// The posted-message queue of the platforms that have none of their own (SDL,
// virtual): a fixed ring of messages in the order they were posted, and the
// queue half of the window seam (get, translate, dispatch, post, quit) built
// on it. A backend adds peek_message, which feeds its input into the ring,
// and def_window_proc.
#pragma once
#include <cstdint>

#include "platform/window.h"

constexpr int32_t kMessageQueueCapacity = 256;

// The window procedure that dispatch_message runs, set by create_main_window.
extern WindowProcedure registered_window_procedure;

// The oldest waiting message, left in place; false when the queue is empty.
bool front_of_message_queue(WindowMessage* message);
int32_t queued_message_count();
void clear_message_queue();
