#pragma once
// Where a display thread takes received text from. The receive view adapts its
// SerialLink to it; tests use a fake. Both calls come on the display thread.
#include <string>

class ReceiveSource {
public:
    virtual ~ReceiveSource() = default;
    // New text has been appended since the last TakeReceived().
    virtual bool DataReady() const = 0;
    // Hands over the received text and empties it.
    virtual std::string TakeReceived() = 0;
};
