#include "app/HotKeyNames.h"

#include <QKeySequence>

#include <iterator>

namespace {
constexpr int kAlt = 1;
constexpr int kControl = 2;
constexpr int kShift = 4;
constexpr int kSuper = 8;

struct NamedKey {
    int vk;
    Qt::Key key;
};

// Keys beyond letters, digits, function keys and the keypad digits, which follow from ranges.
constexpr NamedKey kNamed[] = {
    { 0x08, Qt::Key_Backspace },
    { 0x09, Qt::Key_Tab },
    { 0x0D, Qt::Key_Return },
    { 0x13, Qt::Key_Pause },
    { 0x14, Qt::Key_CapsLock },
    { 0x1B, Qt::Key_Escape },
    { 0x20, Qt::Key_Space },
    { 0x21, Qt::Key_PageUp },
    { 0x22, Qt::Key_PageDown },
    { 0x23, Qt::Key_End },
    { 0x24, Qt::Key_Home },
    { 0x25, Qt::Key_Left },
    { 0x26, Qt::Key_Up },
    { 0x27, Qt::Key_Right },
    { 0x28, Qt::Key_Down },
    { 0x2C, Qt::Key_Print },
    { 0x2D, Qt::Key_Insert },
    { 0x2E, Qt::Key_Delete },
    { 0x90, Qt::Key_NumLock },
    { 0x91, Qt::Key_ScrollLock },
    { 0xBA, Qt::Key_Semicolon },
    { 0xBB, Qt::Key_Equal },
    { 0xBC, Qt::Key_Comma },
    { 0xBD, Qt::Key_Minus },
    { 0xBE, Qt::Key_Period },
    { 0xBF, Qt::Key_Slash },
    { 0xC0, Qt::Key_QuoteLeft },
    { 0xDB, Qt::Key_BracketLeft },
    { 0xDC, Qt::Key_Backslash },
    { 0xDD, Qt::Key_BracketRight },
    { 0xDE, Qt::Key_Apostrophe },
};

// Keypad operators: VK_MULTIPLY, VK_ADD, VK_SUBTRACT, VK_DECIMAL, VK_DIVIDE.
constexpr NamedKey kKeypad[] = {
    { 0x6A, Qt::Key_Asterisk },
    { 0x6B, Qt::Key_Plus },
    { 0x6D, Qt::Key_Minus },
    { 0x6E, Qt::Key_Period },
    { 0x6F, Qt::Key_Slash },
};

// With Shift held Qt reports the shifted symbol of a key (US layout) where the file keeps the key itself.
constexpr NamedKey kShifted[] = {
    { '1', Qt::Key_Exclam },
    { '2', Qt::Key_At },
    { '3', Qt::Key_NumberSign },
    { '4', Qt::Key_Dollar },
    { '5', Qt::Key_Percent },
    { '6', Qt::Key_AsciiCircum },
    { '7', Qt::Key_Ampersand },
    { '8', Qt::Key_Asterisk },
    { '9', Qt::Key_ParenLeft },
    { '0', Qt::Key_ParenRight },
    { 0x09, Qt::Key_Backtab },
    { 0xBA, Qt::Key_Colon },
    { 0xBB, Qt::Key_Plus },
    { 0xBC, Qt::Key_Less },
    { 0xBD, Qt::Key_Underscore },
    { 0xBE, Qt::Key_Greater },
    { 0xBF, Qt::Key_Question },
    { 0xC0, Qt::Key_AsciiTilde },
    { 0xDB, Qt::Key_BraceLeft },
    { 0xDC, Qt::Key_Bar },
    { 0xDD, Qt::Key_BraceRight },
    { 0xDE, Qt::Key_QuoteDbl },
};

bool IsPrintable(int vk)
{
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z');
}
} // namespace

QString HotKeyNames::Text(HotKeyPair pair)
{
    QString text;
    if (pair.mask & kControl)
        text += "Ctrl";
    if (pair.mask & kAlt)
        text += text.isEmpty() ? "Alt" : " + Alt";
    if (pair.mask & kShift)
        text += text.isEmpty() ? "Shift" : " + Shift";
    if (pair.mask & kSuper)
        text += text.isEmpty() ? "Super" : " + Super";
    if (!text.isEmpty())
        text += " + ";
    if (IsPrintable(pair.key))
        return text + QChar(pair.key);
    const QKeyCombination key = QtKey(pair.key);
    if (key.key() == Qt::Key_unknown)
        return text;
    // Keypad keys carry their modifier, which the portable text spells "Num+".
    return text + QKeySequence(key).toString(QKeySequence::PortableText);
}

int HotKeyNames::VirtualKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return 0x60 + (key - Qt::Key_0);
    if (keypad) {
        for (const NamedKey& named : kKeypad)
            if (named.key == key)
                return named.vk;
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return int(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    if (key == Qt::Key_Enter)
        return 0x0D;
    for (const NamedKey& named : kNamed)
        if (named.key == key)
            return named.vk;
    if (modifiers & Qt::ShiftModifier) {
        for (const NamedKey& named : kShifted)
            if (named.key == key)
                return named.vk;
    }
    return 0;
}

QKeyCombination HotKeyNames::QtKey(int vk)
{
    if (IsPrintable(vk))
        return QKeyCombination(Qt::Key(vk));
    if (vk >= 0x60 && vk <= 0x69)
        return QKeyCombination(Qt::KeypadModifier, Qt::Key(Qt::Key_0 + (vk - 0x60)));
    if (vk >= 0x70 && vk <= 0x87)
        return QKeyCombination(Qt::Key(Qt::Key_F1 + (vk - 0x70)));
    for (const NamedKey& named : kKeypad)
        if (named.vk == vk)
            return QKeyCombination(Qt::KeypadModifier, named.key);
    for (const NamedKey& named : kNamed)
        if (named.vk == vk)
            return QKeyCombination(named.key);
    return QKeyCombination(Qt::Key_unknown);
}

bool HotKeyNames::MayStandAlone(int virtualKey)
{
    constexpr int kF1 = 0x70, kF24 = 0x87, kPrint = 0x2C;
    return (virtualKey >= kF1 && virtualKey <= kF24) || virtualKey == kPrint;
}

bool HotKeyNames::IsAcceptable(HotKeyPair pair)
{
    return pair.key == 0 || pair.mask != 0 || MayStandAlone(pair.key);
}

HotKeyPair HotKeyNames::FromCombination(QKeyCombination combination)
{
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    HotKeyPair pair;
    pair.key = VirtualKey(combination.key(), modifiers);
    if (modifiers & Qt::AltModifier)
        pair.mask |= kAlt;
    if (modifiers & Qt::ControlModifier)
        pair.mask |= kControl;
    if (modifiers & Qt::ShiftModifier)
        pair.mask |= kShift;
    // Qt calls the Super (Windows logo) key Meta on X11.
    if (modifiers & Qt::MetaModifier)
        pair.mask |= kSuper;
    return pair;
}

QKeyCombination HotKeyNames::ToCombination(HotKeyPair pair)
{
    const QKeyCombination key = QtKey(pair.key);
    Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    if (pair.mask & kAlt)
        modifiers |= Qt::AltModifier;
    if (pair.mask & kControl)
        modifiers |= Qt::ControlModifier;
    if (pair.mask & kShift)
        modifiers |= Qt::ShiftModifier;
    if (pair.mask & kSuper)
        modifiers |= Qt::MetaModifier;
    return QKeyCombination(modifiers, key.key());
}
