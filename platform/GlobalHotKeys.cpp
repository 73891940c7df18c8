#include "platform/GlobalHotKeys.h"

#include "platform/VirtualKeyMap.h"

#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>

namespace {
int g_grabErrors = 0;

int CountGrabError(Display*, XErrorEvent*)
{
    ++g_grabErrors;
    return 0;
}

unsigned int FindNumLockMask(Display* display)
{
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(display);
    unsigned int mask = 0;
    if (map && numLock) {
        for (int mod = 0; mod < 8; ++mod) {
            for (int k = 0; k < map->max_keypermod; ++k) {
                if (map->modifiermap[mod * map->max_keypermod + k] == numLock)
                    mask = 1u << mod;
            }
        }
    }
    if (map)
        XFreeModifiermap(map);
    return mask;
}
} // namespace

GlobalHotKeys::GlobalHotKeys(QObject* parent)
    : QObject(parent)
{
    display_ = XOpenDisplay(nullptr);
    if (!display_)
        return;
    numLockMask_ = FindNumLockMask(display_);
    notifier_ = new QSocketNotifier(ConnectionNumber(display_), QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadEvents(); });
}

GlobalHotKeys::~GlobalHotKeys()
{
    if (!display_)
        return;
    UnregisterAll();
    delete notifier_;
    XCloseDisplay(display_);
}

std::vector<unsigned int> GlobalHotKeys::LockVariants() const
{
    std::vector<unsigned int> variants { 0, LockMask };
    if (numLockMask_) {
        variants.push_back(numLockMask_);
        variants.push_back(numLockMask_ | LockMask);
    }
    return variants;
}

bool GlobalHotKeys::Register(int id, int virtualKey, int modBits)
{
    if (!display_)
        return false;
    const KeySym keysym = VirtualKeyMap::KeysymFor(virtualKey);
    const KeyCode keycode = keysym == NoSymbol ? 0 : XKeysymToKeycode(display_, keysym);
    if (!keycode)
        return false;
    const Grab grab { id, keycode, VirtualKeyMap::ModifierMaskFor(modBits) };
    const bool taken = std::any_of(grabs_.begin(), grabs_.end(),
        [&](const Grab& g) { return g.keycode == grab.keycode && g.modifiers == grab.modifiers; });
    if (taken)
        return false;

    if (!TryGrab(grab))
        return false;
    grabs_.push_back(grab);
    return true;
}

bool GlobalHotKeys::TryGrab(const Grab& grab)
{
    // Another client's grab is reported asynchronously as BadAccess; sync to learn about it here.
    const Window root = DefaultRootWindow(display_);
    XErrorHandler previous = XSetErrorHandler(CountGrabError);
    g_grabErrors = 0;
    for (unsigned int lock : LockVariants())
        XGrabKey(display_, grab.keycode, grab.modifiers | lock, root, False, GrabModeAsync, GrabModeAsync);
    XSync(display_, False);
    const bool failed = g_grabErrors != 0;
    if (failed) {
        Ungrab(grab);
        XSync(display_, False);
    }
    XSetErrorHandler(previous);
    // XSync may have queued events that the socket will not announce again.
    QMetaObject::invokeMethod(
        this, [this] { ReadEvents(); }, Qt::QueuedConnection);
    return !failed;
}

bool GlobalHotKeys::IsHeldElsewhere(int virtualKey, int modBits)
{
    if (!display_)
        return false;
    const KeySym keysym = VirtualKeyMap::KeysymFor(virtualKey);
    const KeyCode keycode = keysym == NoSymbol ? 0 : XKeysymToKeycode(display_, keysym);
    if (!keycode)
        return false;
    const Grab grab { -1, keycode, VirtualKeyMap::ModifierMaskFor(modBits) };
    // Our own grab of it is not another program's.
    for (const Grab& own : grabs_)
        if (own.keycode == grab.keycode && own.modifiers == grab.modifiers)
            return false;
    if (!TryGrab(grab))
        return true;
    Ungrab(grab);
    XSync(display_, False);
    return false;
}

void GlobalHotKeys::Ungrab(const Grab& grab)
{
    const Window root = DefaultRootWindow(display_);
    for (unsigned int lock : LockVariants())
        XUngrabKey(display_, grab.keycode, grab.modifiers | lock, root);
}

void GlobalHotKeys::Unregister(int id)
{
    if (!display_)
        return;
    const auto it = std::find_if(grabs_.begin(), grabs_.end(), [id](const Grab& g) { return g.id == id; });
    if (it == grabs_.end())
        return;
    Ungrab(*it);
    grabs_.erase(it);
    XFlush(display_);
}

void GlobalHotKeys::UnregisterAll()
{
    if (!display_)
        return;
    for (const Grab& grab : grabs_)
        Ungrab(grab);
    grabs_.clear();
    XSync(display_, False);
}

std::vector<int> GlobalHotKeys::RegisteredIds() const
{
    std::vector<int> ids;
    for (const Grab& grab : grabs_)
        ids.push_back(grab.id);
    return ids;
}

void GlobalHotKeys::ReadEvents()
{
    if (!display_)
        return;
    std::vector<std::pair<unsigned int, unsigned int>> presses;
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == KeyPress)
            presses.emplace_back(event.xkey.keycode, event.xkey.state);
    }
    // Handlers may run a capture (and a nested event loop); the queue is drained first.
    for (const auto& [keycode, state] : presses)
        Dispatch(keycode, state);
}

void GlobalHotKeys::Dispatch(unsigned int keycode, unsigned int state)
{
    const unsigned int relevant
        = (ShiftMask | ControlMask | Mod1Mask | Mod2Mask | Mod3Mask | Mod4Mask | Mod5Mask) & ~numLockMask_;
    const unsigned int modifiers = state & relevant;
    for (const Grab& grab : grabs_) {
        if (grab.keycode == keycode && grab.modifiers == modifiers) {
            if (handler_)
                handler_(grab.id);
            return;
        }
    }
}
