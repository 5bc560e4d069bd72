#pragma once
// A SerialLink as the display thread's source of received text.
#include "views/ReceiveSource.h"

class SerialLink;

class LinkReceiveSource : public ReceiveSource {
public:
    explicit LinkReceiveSource(SerialLink& link) : m_link(link) {}

    bool DataReady() const override;
    std::string TakeReceived() override;

private:
    SerialLink& m_link;
};
