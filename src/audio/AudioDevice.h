#pragma once

#include <SDL.h>

// Owner of one open SDL audio output device: closes it when replaced or destroyed.
class AudioDevice {
public:
    AudioDevice() = default;
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;
    ~AudioDevice() { close(); }

    // Opens the default output device, paused; the format SDL granted goes to granted.
    // False with SDL's error pending when it cannot be opened.
    bool open(const SDL_AudioSpec& request, int allowedChanges, SDL_AudioSpec& granted);
    void close();
    bool isOpen() const { return deviceId != 0; }
    SDL_AudioDeviceID id() const { return deviceId; }
    // The device is open but gone (unplugged, or its driver failed): it takes no more sound.
    bool isLost() const {
        return deviceId != 0 && SDL_GetAudioDeviceStatus(deviceId) == SDL_AUDIO_STOPPED;
    }

    // Pausing waits for a running callback to return; afterwards the callback is not called
    // until the device is resumed.
    void setPaused(bool paused) const;

private:
    SDL_AudioDeviceID deviceId = 0;
};
