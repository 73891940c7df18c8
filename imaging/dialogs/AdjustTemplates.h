#pragma once

#include <cstdint>
#include <memory>

class ImageEffect;

// What the trackbars, the channel radios and the hue strip of an adjustment dialog hold.
struct AdjustValues {
    int first = 0; // trackbar 1014
    int second = 0; // trackbar 1015
    int third = 0; // trackbar 1016
    int channel = 0; // radio index: RGB, R, G, B
    uint8_t toneRed = 254;
    uint8_t toneGreen = 168;
    uint8_t toneBlue = 33;
};

struct TrackbarSpec {
    int minimum;
    int maximum;
    int initial;
    const char* name; // the label beside the trackbar; null for none
};

// One dialog template served by AdjustDlg.
struct AdjustTemplate {
    int id;
    const char* caption;
    int trackbars; // 0 to 3, from trackbar 1014 on
    TrackbarSpec bars[3];
    bool channelRadios; // "RGB", "R", "G", "B"
    bool hueStrip;
    bool scalesWithPreview; // the first value is a size in pixels
    bool fitsPreview; // the result can outgrow the thumbnail, so it is drawn scaled to fit
};

// Null for an id that is not one of the thirteen templates.
const AdjustTemplate* FindAdjustTemplate(int templateId);

// The template's effect for values. scale multiplies size values (oil paint, splash, mosaic): the
// thumbnail's scale factor for the preview, 1 for the document.
std::unique_ptr<ImageEffect> CreateAdjustEffect(int templateId, const AdjustValues& values, double scale);

// The colour-level channel mask of a radio index: RGB 7, R 1, G 2, B 4.
int ChannelMaskForRadio(int index);
