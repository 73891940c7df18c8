#pragma once

#include "editor/bars/PanelValues.h"
#include "imaging/ImageBuffer.h"

#include <QHash>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

class CXColourPicker;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QSlider;
class StampListView;

// One panel of the property bar: a row of labelled controls, each named "ctl" + its id. Controls set by
// code stay silent; what the user changes is announced with PropertyChanged, naming the control.
class ParamPanel : public QWidget {
    Q_OBJECT
public:
    ParamPanel(int kind, QWidget* parent = nullptr);

    int Kind() const { return kind_; }

    QComboBox* AddCombo(int id, const QString& label, const QStringList& items);
    CXColourPicker* AddColour(int id, const QString& label);
    QSlider* AddOpacity();
    QSlider* AddSlider(int id, const QString& label, int minimum, int maximum);
    QCheckBox* AddShadow();
    StampListView* AddStampList(const std::string& moduleFolder);
    void AddHiddenSpin();
    void AddNoParameter();

    // The control with that id, or null when the panel has none.
    QWidget* Control(int id) const { return controls_.value(id); }
    // Reads of a control the panel lacks give 0.
    int ComboSelection(int id) const;
    void SetComboSelection(int id, int index);
    uint32_t Colour(int id) const;
    void SetColour(int id, uint32_t colour);
    int Opacity() const { return opacity_; }
    void SetOpacity(int value);
    int SliderValue(int id) const;
    // Silent, like every change made by code; the value is limited to the range.
    void SetSliderRange(int id, int minimum, int maximum, int value);
    void SetSliderValue(int id, int value);
    bool Shadow() const;
    void SetShadow(bool shadow);
    int StampChoice() const { return stampChoice_; }
    void SetStampChoice(int choice) { stampChoice_ = choice; }

    PanelValues Values() const;
    // The picture for the stored stamp choice; empty for none or a file that cannot be read.
    ImageBuffer FetchStampImage() const;

signals:
    // gesture: nonzero for every value of one slider drag, from press to release, and for no other change.
    void PropertyChanged(int control, int gesture);

private:
    void AddLabelled(int id, const QString& label, QWidget* control);
    // Announces the slider's values; onValue runs first.
    void AnnounceSlider(QSlider* slider, int id, std::function<void(int)> onValue = {});
    void OnStampClicked();

    int kind_;
    QHBoxLayout* row_;
    QHash<int, QWidget*> controls_;
    int opacity_ = 0;
    int stampChoice_ = 0;
    int gesture_ = 0;
};
