#pragma once

#include "imaging/ImageBuffer.h"

#include <QDialog>
#include <QImage>

#include <memory>

class AdjustTarget;
class LiveDocumentPreview;
class QCheckBox;
class QLabel;
class QSlider;

// "Brightness/Contrast": brightness then contrast, previewed like the adjustment dialogs; OK records
// the two as separate history entries.
class CBrightConDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize kPreviewArea { 280, 210 };

    explicit CBrightConDlg(AdjustTarget& target, QWidget* parent = nullptr);
    ~CBrightConDlg() override;

    int Brightness() const { return brightness_; }
    int Contrast() const { return contrast_; }
    double PreviewScale() const { return scale_; }
    const ImageBuffer& Preview() const { return preview_; }
    QRect PreviewArea() const;
    QSlider* BrightnessBar() const { return bars_[0]; }
    QSlider* ContrastBar() const { return bars_[1]; }
    QCheckBox* PreviewCheck() const { return previewCheck_; }
    const LiveDocumentPreview& Live() const { return *live_; }

    void accept() override;
    void reject() override;
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();

    AdjustTarget& target_;
    ImageBuffer backup_;
    ImageBuffer thumbnail_;
    ImageBuffer preview_;
    QImage picture_;
    double scale_ = 1;
    int brightness_ = 100;
    int contrast_ = 100;
    QWidget* area_ = nullptr;
    QSlider* bars_[2] = {};
    QLabel* values_[2] = {};
    QCheckBox* previewCheck_ = nullptr;
    std::unique_ptr<LiveDocumentPreview> live_;
};
