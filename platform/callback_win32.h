// Functions that Windows itself calls (WinMain, window procedures, thread
// starts, enumeration callbacks) realign the stack on 32-bit x86: Windows
// keeps it aligned to 4 bytes there, and the SSE2 code the compiler makes
// expects 16. Everywhere else the stack is already aligned.
#pragma once

#if defined(__i386__)
#define BP_CALLED_BY_WINDOWS __attribute__((force_align_arg_pointer))
#else
#define BP_CALLED_BY_WINDOWS
#endif
