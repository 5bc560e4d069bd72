#pragma once
// Reading and writing sound files (WAV, FLAC, OGG: whatever libsndfile
// reads), always as mono float samples; several channels are averaged.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct AudioData {
    std::vector<float> samples;
    double rate = 0.0;
};

// The whole file; false with `error` set when it can't be read.
bool ReadAudioFile(const std::string& path, AudioData& data, std::string& error);
// Writes a mono WAV: 16-bit PCM, or 32-bit float (never clipped) when `asFloat`.
bool WriteAudioFile(const std::string& path, const std::vector<float>& samples, double rate, bool asFloat,
                    std::string& error);

// Reads a file block by block (for playing it in real time).
class AudioFileReader {
public:
    ~AudioFileReader();
    bool Open(const std::string& path, std::string& error);
    double Rate() const { return m_rate; }
    // Up to `frames` mono samples appended to `out`; 0 at the end.
    size_t Read(size_t frames, std::vector<float>& out);
    void Close();

private:
    void* m_file = nullptr;   // SNDFILE*
    int m_channels = 1;
    double m_rate = 0.0;
    std::vector<float> m_buffer;
};
