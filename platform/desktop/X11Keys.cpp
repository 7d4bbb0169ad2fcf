#include "platform/desktop/X11Keys.h"

#include <QChar>
#include <X11/keysym.h>
#include <xcb/xproto.h>

namespace X11Keys {

namespace {

struct TKeyPair
{
    Qt::Key key;
    uint32_t keySym;
};

constexpr TKeyPair SpecialKeys[] = {
    {Qt::Key_Escape, XK_Escape},       {Qt::Key_Tab, XK_Tab},
    {Qt::Key_Backtab, XK_ISO_Left_Tab}, {Qt::Key_Backspace, XK_BackSpace},
    {Qt::Key_Return, XK_Return},       {Qt::Key_Enter, XK_KP_Enter},
    {Qt::Key_Insert, XK_Insert},       {Qt::Key_Delete, XK_Delete},
    {Qt::Key_Pause, XK_Pause},         {Qt::Key_Print, XK_Print},
    {Qt::Key_SysReq, XK_Sys_Req},      {Qt::Key_Home, XK_Home},
    {Qt::Key_End, XK_End},             {Qt::Key_Left, XK_Left},
    {Qt::Key_Up, XK_Up},               {Qt::Key_Right, XK_Right},
    {Qt::Key_Down, XK_Down},           {Qt::Key_PageUp, XK_Page_Up},
    {Qt::Key_PageDown, XK_Page_Down},  {Qt::Key_Menu, XK_Menu},
    {Qt::Key_ScrollLock, XK_Scroll_Lock}, {Qt::Key_Clear, XK_Clear},
    {Qt::Key_Help, XK_Help},
};

} // namespace

uint32_t KeySymOf(Qt::Key key)
{
    const int code = int(key);
    if (code >= Qt::Key_F1 && code <= Qt::Key_F35)
        return XK_F1 + uint32_t(code - Qt::Key_F1);
    for (const TKeyPair &pair : SpecialKeys)
        if (pair.key == key)
            return pair.keySym;
    // Printable keys: Qt names letters by their capital, the keyboard map by the small one.
    if (code >= 0x20 && code <= 0xff)
        return QChar(char16_t(code)).toLower().unicode();
    if (code > 0xff && code < 0x110000 && code < Qt::Key_Escape)
        return 0x01000000u | uint32_t(QChar::toLower(char32_t(code)));
    return 0;
}

uint32_t KeySymOf(QKeyCombination key)
{
    const Qt::Key code = key.key();
    if (!(key.keyboardModifiers() & Qt::KeypadModifier))
        return KeySymOf(code);
    if (code >= Qt::Key_0 && code <= Qt::Key_9)
        return XK_KP_0 + uint32_t(code - Qt::Key_0);
    switch (code) {
    case Qt::Key_Asterisk: return XK_KP_Multiply;
    case Qt::Key_Plus: return XK_KP_Add;
    case Qt::Key_Minus: return XK_KP_Subtract;
    case Qt::Key_Slash: return XK_KP_Divide;
    case Qt::Key_Period: return XK_KP_Decimal;
    default: return KeySymOf(code);
    }
}

uint16_t ModifierMaskOf(Qt::KeyboardModifiers modifiers)
{
    uint16_t mask = 0;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

} // namespace X11Keys
