#include "views/LinkReceiveSource.h"

#include "link/SerialLink.h"

bool LinkReceiveSource::DataReady() const
{
    return m_link.m_bDataReady.load() != 0;
}

std::string LinkReceiveSource::TakeReceived()
{
    return m_link.TakeReceived();
}
