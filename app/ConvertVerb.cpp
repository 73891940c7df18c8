#include "app/ConvertVerb.h"

#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/SaveImageFile.h"
#include "imaging/ImageBuffer.h"

#include <iostream>

int RunConvertVerb(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        std::cerr << "lumora: convert needs an input and an output file: lumora convert IN OUT\n";
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
    if (!SaveImageFile(image, args[1])) {
        std::cerr << "lumora: cannot write '" << args[1] << "' (unknown extension, unsupported depth or no access)\n";
        return 1;
    }
    return 0;
}
