#pragma once

#include <memory>
#include <string>

class ParamPanel;
class QWidget;

// Builds the panel of a kind with its controls and their defaults; any kind without a panel of its own
// gets the no-parameter panel. The stamp panel reads moduleFolder + "stamps/".
std::unique_ptr<ParamPanel> CreateParamPanel(int kind, const std::string& moduleFolder, QWidget* parent = nullptr);
