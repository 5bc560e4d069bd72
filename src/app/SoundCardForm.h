#pragma once
// The rules of the device chooser's "Sound card" page, apart from its
// widgets: which devices each list offers, what the page says when there is
// nothing to offer, the fields as loaded from and written to the port's
// "Devices" "COM<N>" value ("audio:card,...", AudioDeviceValue.h), and what
// is refused on OK.
#include "app/DeviceChoice.h"
#include "modem/AudioDeviceValue.h"
#include "modem/LiveAudio.h"

#include <string>
#include <vector>

// One entry of the capture or playback list.
struct AudioDeviceEntry {
    std::string name;   // stored as capture= / playback= ("" is the server's default)
    std::string label;  // shown
};

// The server's default first, then the devices present under their
// descriptions; a stored device that is not present stays in the list,
// marked so, and a page confirmed without touching it keeps it.
std::vector<AudioDeviceEntry> AudioDeviceEntries(const std::vector<AudioDeviceInfo>& present,
                                                 const std::string& stored);

// What the page says about the sound server: empty when it lists both kinds
// of device.
std::string AudioServerNotice(bool haveServer, size_t sources, size_t sinks);

// The devices a PTT line can be on: the chooser's serial devices without the
// simulated modem (for RTS and DTR), then the hidraw devices (for a CM108
// adapter's GPIO).
std::vector<DeviceEntry> PttDeviceEntries(const std::vector<DeviceEntry>& chooserEntries,
                                          const std::vector<std::string>& hidraw);
// The /dev/hidrawN devices present in `dir`, sorted.
std::vector<std::string> HidrawDevicePaths(const std::string& dir = "/dev");
// RTS, DTR and CM108 key through a device of their own; CAT and VOX don't.
bool PttLineNeedsDevice(AudioDeviceValue::Ptt ptt);

struct SoundCardForm {
    std::string capture;
    std::string playback;
    double markHz = 2125.0;
    double shiftHz = 170.0;
    bool reverse = false;
    // On for a new sound-card port, as other RTTY programs have it; a stored
    // value without usos= keeps its old meaning (off) when loaded.
    bool usos = true;
    bool afc = true;
    AudioDeviceValue::Ptt ptt = AudioDeviceValue::Ptt::None;
    std::string pttDevice;

    // The form for the port's current value: its fields when it is a sound
    // card, else the defaults. `isCard` tells which.
    static SoundCardForm Load(const std::string& current, bool* isCard = nullptr);
    // Empty when the fields can be stored, else what to tell the operator.
    std::string Problem() const;
    // The value to store; every field written out, so that reopening shows
    // exactly this. Options the page doesn't show (stop bits) are kept.
    std::string Value() const;

    AudioDeviceValue base;  // the value loaded, for the options kept
};
