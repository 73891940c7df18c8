#pragma once

#include "imaging/ImageBuffer.h"
#include "imaging/dialogs/AdjustTemplates.h"

#include <QDialog>
#include <QImage>

#include <memory>

class AdjustTarget;
class HueStrip;
class LiveDocumentPreview;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QSlider;

// The adjustment dialogs with preview, one class for thirteen templates: colour level, RGB value,
// hue/saturation, the filters with a value, colour tone and free rotation. The preview area shows the
// thumbnail with the effect; "Preview" also shows it on the document. OK applies it with one history
// entry; OK and Cancel both start from the document's image as it was at opening.
class AdjustDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize kPreviewArea { 280, 210 };

    AdjustDlg(AdjustTarget& target, int templateId, QWidget* parent = nullptr);
    ~AdjustDlg() override;

    int TemplateId() const { return template_.id; }
    const AdjustValues& Values() const { return values_; }
    double PreviewScale() const { return scale_; }
    const ImageBuffer& Thumbnail() const { return thumbnail_; }
    const ImageBuffer& Preview() const { return preview_; }
    // The preview area in the dialog's coordinates.
    QRect PreviewArea() const;
    QSlider* Trackbar(int index) const { return trackbars_[index]; }
    QCheckBox* PreviewCheck() const { return previewCheck_; }
    HueStrip* Strip() const { return strip_; }
    // The document preview, busy while an effect runs on the document.
    const LiveDocumentPreview& Live() const { return *live_; }

    void accept() override;
    void reject() override;

    // Reads the controls and redraws the preview; on the document too while "Preview" is set.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    void ReadControls();
    void ShowValues();
    void PickTone(QColor colour);
    void RestoreBackup();

    AdjustTarget& target_;
    const AdjustTemplate& template_;
    AdjustValues values_;
    ImageBuffer backup_;
    ImageBuffer thumbnail_;
    ImageBuffer preview_;
    QImage picture_;
    double scale_ = 1;
    QWidget* area_ = nullptr;
    QSlider* trackbars_[3] = {};
    QLabel* valueLabels_[3] = {};
    QButtonGroup* channels_ = nullptr;
    QCheckBox* previewCheck_ = nullptr;
    HueStrip* strip_ = nullptr;
    std::unique_ptr<LiveDocumentPreview> live_;
};
