#pragma once
// Qt's key codes and modifiers in the X11 protocol's terms, for grabbing keys on the display.
#include <QKeyCombination>
#include <cstdint>

namespace X11Keys {

// The keysym of a key; 0 for a key X11 cannot grab alone (a bare modifier, Key_unknown).
uint32_t KeySymOf(Qt::Key key);
// The same for a whole combination: with the keypad flag, digits and operators are the keypad's.
uint32_t KeySymOf(QKeyCombination key);

// Ctrl, Shift, Alt, Meta as the core protocol's modifier mask (Control, Shift, Mod1, Mod4).
uint16_t ModifierMaskOf(Qt::KeyboardModifiers modifiers);

} // namespace X11Keys
