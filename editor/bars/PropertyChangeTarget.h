#pragma once

// One change the user made in the property bar's panel.
struct PropertyChange {
    int control = 0; // the id of the control that changed
    // Nonzero while a slider is dragged, the same for every value of one drag: together they are one edit.
    int gesture = 0;
};

// What the property bar tells when a control of its panel changed: the active view applies the change
// to its selected object before the call returns.
class PropertyChangeTarget {
public:
    virtual ~PropertyChangeTarget() = default;
    virtual void OnPropertyChange(const PropertyChange& change) = 0;
};
