#pragma once
// The program's one live-audio backend (the sound server), set once at
// start-up; null until then, and in tests that don't set one, which leaves a
// sound-card port down with "No sound server" rather than reaching for a
// server the test did not start.
//
// Threads: set on the main thread before any port opens; read from any
// thread afterwards.
#include "modem/LiveAudio.h"

#include <memory>

LiveAudioBackend* ProgramLiveAudio();
// Replaces the backend (the old one is destroyed; no stream of it may be
// open). Tests install a fake here.
void SetProgramLiveAudio(std::unique_ptr<LiveAudioBackend> backend);
