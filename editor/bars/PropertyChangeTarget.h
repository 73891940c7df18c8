#pragma once

// What the property bar tells when a control of its panel changed: the active view applies the panel
// to its selected object before the call returns.
class PropertyChangeTarget {
public:
    virtual ~PropertyChangeTarget() = default;
    virtual void OnPropertyChange() = 0;
};
