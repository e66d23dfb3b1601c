#pragma once

class QKeyEvent;

// The virtual-key code (0-255) of the key a Qt key event reports, as the key table stores it: letters
// and digits are their upper-case characters, F1 is 112, keypad keys have codes of their own (keypad
// Enter is Enter), Backtab is Tab, and shifted punctuation is its unshifted key. 0 for a key without one.
unsigned VirtualKeyOf(const QKeyEvent& event);
// The key table's modifier flags (Ctrl, Shift, Alt) of the event.
unsigned short KeyModifiersOf(const QKeyEvent& event);
