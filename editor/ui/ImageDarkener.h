#pragma once

class ImageBuffer;

// The crop preview's dimmed picture: every colour channel halved (shifted right by one bit). At 24 and
// 32 bpp the blue, green and red bytes of each pixel change and a fourth byte is kept; 16-bpp pixels
// halve each channel of their masks; palette images halve their palette, so no index is touched.
class ImageDarkener {
public:
    static void Darken(ImageBuffer& image);
};
