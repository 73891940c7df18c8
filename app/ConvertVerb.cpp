#include "app/ConvertVerb.h"

#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/OpenFailure.h"
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
    if (const LoadOutcome outcome = LoadImageFile(image, args[0]); outcome != LoadOutcome::kLoaded) {
        std::cerr << "lumora: " << OpenFailure::Describe(args[0], outcome == LoadOutcome::kDecoderFailed) << "\n";
        return 2;
    }
    if (!SaveImageFile(image, args[1])) {
        std::cerr << "lumora: cannot write '" << args[1] << "' (unknown extension, unsupported depth or no access)\n";
        return 1;
    }
    return 0;
}
