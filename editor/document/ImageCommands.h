#pragma once

#include <memory>
#include <string_view>

class ImageEffect;

// The Image and Filter menu commands, ids 20000 to 20100.
enum class ImageCommandKind {
    Direct, // runs its effect at once
    Dialog, // an adjustment dialog with preview sets the values first
    Other, // its own dialog and its own way of applying
};

struct ImageCommand {
    int id;
    std::string_view menuText;
    ImageCommandKind kind;
    int dialogTemplate; // the adjustment dialog's template for Dialog commands, else 0
};

constexpr int kFirstImageCommand = 20000;
constexpr int kLastImageCommand = 20100;

// Null for ids without an entry of their own (they only normalise the image).
const ImageCommand* FindImageCommand(int id);

// The effect of a Direct command, with its fixed values; null for any other id.
std::unique_ptr<ImageEffect> CreateDirectEffect(int id);
