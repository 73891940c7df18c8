#pragma once

#include "editor/bars/PanelValues.h"
#include "imaging/ImageBuffer.h"

#include <QDockWidget>

#include <functional>
#include <memory>
#include <string>

class AnnotationObject;
class ParamPanel;
class PropertyChangeTarget;

// The "Param Setting" bar: hosts the one panel of the current tool or selected object. The panel is
// made anew whenever the kind changes, so its values last only as long as the kind is shown.
class CParamBar : public QDockWidget {
    Q_OBJECT
public:
    // The stamp panel lists moduleFolder + "stamps/"; empty means the folder beside the executable.
    explicit CParamBar(QWidget* parent = nullptr, std::string moduleFolder = {});
    ~CParamBar() override;

    // Who hears of a changed control: the active view, or null when no document is active.
    void SetTargetResolver(std::function<PropertyChangeTarget*()> resolver) { resolver_ = std::move(resolver); }

    void ShowKind(int kind);
    int CurrentKind() const { return kind_; }
    ParamPanel* Panel() const { return panel_.get(); }
    PanelValues ReadValues() const;
    // Shows the object's panel and sets its controls from the object.
    void LoadFromObject(const AnnotationObject& object);
    ImageBuffer FetchStampImage() const;

private:
    void Notify(int control, int gesture);

    std::string moduleFolder_;
    QWidget* placeholder_;
    std::unique_ptr<ParamPanel> panel_;
    int kind_ = PanelKind::kNone;
    std::function<PropertyChangeTarget*()> resolver_;
};
