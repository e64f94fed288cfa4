#pragma once
// The way SDL's events reach the input layer. The window layer's message pump hands every event it
// takes from SDL to InputFeedEvent before turning it into window messages; tests push synthetic events
// the same way, with no display. What is fed:
//   key down/up          -> the keyboard state (scancode through InputKeyMap.h); repeats change nothing
//   mouse motion          -> x, y motion (relative counts)
//   mouse button down/up  -> buttons 0 left, 1 right, 2 middle, 3 and 4 the side buttons
//   mouse wheel           -> z motion, WHEEL_DELTA per notch
//   window focus lost/gained -> foreground devices are lost / may be acquired again
// Motion accumulates until a mouse device reads it. A controller device notices by itself when it is
// unplugged.
union SDL_Event;

void InputFeedEvent(const SDL_Event& event);

// Forgets every key, button, motion and the focus state (back to foreground); for tests and for a new
// window.
void InputFeedReset();
