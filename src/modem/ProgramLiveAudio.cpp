#include "modem/ProgramLiveAudio.h"

namespace {

std::unique_ptr<LiveAudioBackend>& Slot()
{
    static std::unique_ptr<LiveAudioBackend> backend;
    return backend;
}

}  // namespace

LiveAudioBackend* ProgramLiveAudio()
{
    return Slot().get();
}

void SetProgramLiveAudio(std::unique_ptr<LiveAudioBackend> backend)
{
    Slot() = std::move(backend);
}
