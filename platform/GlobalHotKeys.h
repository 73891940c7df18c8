#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QSocketNotifier;
struct _XDisplay;

// System-wide hot keys on X11: each combination is grabbed on the root window (with every Caps Lock
// and Num Lock state, which X counts as modifiers) over a connection of our own, so that grabs work
// whatever Qt platform the widgets use. Combinations are given as Windows virtual-key codes with
// MOD_ bits, as the settings file keeps them. Failures are silent: the key is simply not available.
class GlobalHotKeys : public QObject {
public:
    using Handler = std::function<void(int id)>;

    // Connects to $DISPLAY; without a display every registration fails.
    explicit GlobalHotKeys(QObject* parent = nullptr);
    ~GlobalHotKeys() override;

    bool IsAvailable() const { return display_ != nullptr; }
    // False when the key has no X counterpart, another program holds the combination, or an earlier
    // registration of ours already uses it (the first one keeps it).
    bool Register(int id, int virtualKey, int modBits);
    // True when another program holds the combination (X11 refuses the grab); a key without an X
    // counterpart is held by nobody.
    bool IsHeldElsewhere(int virtualKey, int modBits);
    void Unregister(int id);
    void UnregisterAll();
    std::vector<int> RegisteredIds() const;
    // Called with the id of each registered combination pressed.
    void SetHandler(Handler handler) { handler_ = std::move(handler); }

private:
    struct Grab {
        int id;
        unsigned int keycode;
        unsigned int modifiers;
    };

    std::vector<unsigned int> LockVariants() const;
    // Grabs every lock variant; on refusal nothing stays grabbed.
    bool TryGrab(const Grab& grab);
    void Ungrab(const Grab& grab);
    void ReadEvents();
    void Dispatch(unsigned int keycode, unsigned int state);

    _XDisplay* display_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    unsigned int numLockMask_ = 0;
    std::vector<Grab> grabs_;
    Handler handler_;
};
