#include "platform/desktop/X11Keys.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <xcb/xproto.h>

TEST(X11Keys, MapsKeysToKeySyms)
{
    const struct { Qt::Key key; uint32_t keySym; } cases[] = {
        {Qt::Key_F1, XK_F1},
        {Qt::Key_F10, XK_F10},
        {Qt::Key_F12, XK_F12},
        {Qt::Key_A, XK_a}, // letters are grabbed by their small keysym
        {Qt::Key_Z, XK_z},
        {Qt::Key_0, XK_0},
        {Qt::Key_Space, XK_space},
        {Qt::Key_Comma, XK_comma},
        {Qt::Key_Agrave, XK_agrave},
        {Qt::Key_Escape, XK_Escape},
        {Qt::Key_Return, XK_Return},
        {Qt::Key_Enter, XK_KP_Enter},
        {Qt::Key_Delete, XK_Delete},
        {Qt::Key_PageDown, XK_Page_Down},
        {Qt::Key_Print, XK_Print},
        {Qt::Key_Pause, XK_Pause},
        {Qt::Key(0x0416), 0x01000000 | 0x0436}, // Cyrillic capital Zhe: the small letter's Unicode keysym
        {Qt::Key_Control, 0},                   // a bare modifier is no hot key
        {Qt::Key_Shift, 0},
        {Qt::Key_unknown, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(X11Keys::KeySymOf(c.key), c.keySym) << "key 0x" << std::hex << int(c.key);
}

TEST(X11Keys, KeypadKeysAreTheKeypadsOwn)
{
    const struct { QKeyCombination key; uint32_t keySym; } cases[] = {
        {QKeyCombination(Qt::KeypadModifier | Qt::ControlModifier, Qt::Key_5), XK_KP_5},
        {QKeyCombination(Qt::KeypadModifier, Qt::Key_Asterisk), XK_KP_Multiply},
        {QKeyCombination(Qt::KeypadModifier, Qt::Key_Plus), XK_KP_Add},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_5), XK_5},
    };
    for (const auto &c : cases)
        EXPECT_EQ(X11Keys::KeySymOf(c.key), c.keySym);
}

TEST(X11Keys, MapsModifiersToCoreMasks)
{
    const struct { Qt::KeyboardModifiers modifiers; uint16_t mask; } cases[] = {
        {Qt::NoModifier, 0},
        {Qt::ControlModifier | Qt::ShiftModifier, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT},
        {Qt::ControlModifier | Qt::AltModifier, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1},
        {Qt::MetaModifier, XCB_MOD_MASK_4},
        {Qt::KeypadModifier, 0}, // the keypad is part of the key, not a modifier to grab
    };
    for (const auto &c : cases)
        EXPECT_EQ(X11Keys::ModifierMaskOf(c.modifiers), c.mask);
}
