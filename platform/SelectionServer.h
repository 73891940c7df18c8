#pragma once

#include <string>
#include <utility>
#include <vector>

// Serves the CLIPBOARD selection with fixed data per target over its own connection. Runs in a process of
// its own (lumora-clipboard): Serve() returns when another program takes the clipboard (after finishing
// transfers already under way) or when the connection closes. Uses only libxcb.
class SelectionServer {
public:
    struct Offer {
        std::string mimeType;
        std::vector<char> data;
    };

    SelectionServer(std::string displayName, std::vector<Offer> offers);

    // The offers as the serving program receives them: written at fd's offset, read from its start.
    static bool WriteOffers(int fd, const std::vector<Offer>& offers);
    static bool ReadOffers(int fd, std::vector<Offer>& offers);

    // Connects and takes the clipboard; false when there is no server or the selection was not granted.
    bool Own();
    // Answers requests until the selection is lost. Call after a successful Own().
    void Serve();
    ~SelectionServer();

private:
    struct Impl;
    Impl* impl_;
};
