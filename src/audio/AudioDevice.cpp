#include "audio/AudioDevice.h"

bool AudioDevice::open(const SDL_AudioSpec& request, int allowedChanges, SDL_AudioSpec& granted) {
    close();
    deviceId = SDL_OpenAudioDevice(nullptr, 0, &request, &granted, allowedChanges);
    return deviceId != 0;
}

void AudioDevice::close() {
    if (deviceId != 0) {
        SDL_CloseAudioDevice(deviceId);
        deviceId = 0;
    }
}

void AudioDevice::setPaused(bool paused) const {
    if (deviceId != 0) {
        SDL_PauseAudioDevice(deviceId, paused ? 1 : 0);
    }
}
