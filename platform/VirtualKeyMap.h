#pragma once

// The settings file keeps hot keys as Windows virtual-key codes with MOD_ bits; X11 grabs take keysyms
// and modifier masks. These translate one into the other.
namespace VirtualKeyMap {
constexpr int ModAlt = 1;
constexpr int ModControl = 2;
constexpr int ModShift = 4;
constexpr int ModWin = 8;

// The keysym of a virtual-key code; 0 (NoSymbol) when the code has no counterpart.
unsigned long KeysymFor(int virtualKey);
// The X11 modifier mask (ShiftMask, ControlMask, Mod1Mask for Alt, Mod4Mask for Win) of MOD_ bits.
unsigned int ModifierMaskFor(int modBits);
} // namespace VirtualKeyMap
