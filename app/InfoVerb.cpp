#include "app/InfoVerb.h"

#include "editor/codecs/ImageBufferFile.h"
#include "imaging/ImageBuffer.h"

#include <iostream>

int RunInfoVerb(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::cerr << "lumora: info needs one file: lumora info FILE\n";
        return 2;
    }
    ImageBuffer image;
    switch (LoadImageFile(image, args[0])) {
    case LoadOutcome::kLoaded:
        break;
    case LoadOutcome::kDecoderFailed:
        std::cerr << "lumora: " << DecoderFailedMessage(args[0]) << "\n";
        return 2;
    case LoadOutcome::kUnreadable:
        std::cerr << "lumora: cannot read an image from '" << args[0] << "'\n";
        return 1;
    }
    std::cout << "width=" << image.Width() << " height=" << image.Height() << " bpp=" << image.BitCount()
              << " tag=" << image.Tag() << "\n";
    return 0;
}
