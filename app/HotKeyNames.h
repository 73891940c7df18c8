#pragma once

#include "app/ShellSettings.h"

#include <QKeyCombination>
#include <QString>

// Hot keys as the settings file keeps them (Windows virtual-key code and MOD_ bits) against Qt's keys:
// the text the Define hot key buttons show, and the conversions both ways for the key reader.
class HotKeyNames {
public:
    // "Ctrl + Shift + F": the modifiers in the order Ctrl, Alt, Shift, Super, then the key as its character, or
    // by its name when it has no printable one ("F5", "Print"). A pair of zeros reads empty.
    static QString Text(HotKeyPair pair);
    // The virtual-key code of a Qt key (keypad keys by the keypad modifier); 0 when it has none.
    static int VirtualKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {});
    // The Qt key of a virtual-key code, with the keypad modifier for keypad keys; Key_unknown for none.
    static QKeyCombination QtKey(int virtualKey);

    // A global grab of a bare key takes it from every program; only function keys and Print may stand alone.
    static bool MayStandAlone(int virtualKey);
    // Whether the pair may be a hot key: none at all, a key with a modifier, or a key that may stand alone.
    static bool IsAcceptable(HotKeyPair pair);

    static HotKeyPair FromCombination(QKeyCombination combination);
    static QKeyCombination ToCombination(HotKeyPair pair);
};
