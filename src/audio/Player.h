#pragma once

#include "library/Song.h"

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

// The audio engine: decodes one file at a time inside the SDL audio callback, runs it through
// the ten-band equalizer and mixes it into the device at the current volume.
class Player {
public:
    Player();
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    bool initAudioDevice();
    bool loadSong(const Song& song);
    void play();
    void pause();
    void stop();
    void cleanup();

    void setVolume(int volume);
    int getVolume() const;
    float getProgress() const;
    double getCurrentTime() const;
    double getDuration() const;
    bool isPlaying() const;
    bool isPaused() const;
    bool isStopped() const;

    void setSongEndCallback(std::function<void()> callback);
    void handleEvent(SDL_Event* event);
    std::string getCurrentFilePath() const;

    void fastForward(int seconds);
    void rewind(int seconds);
    void setEQGains(const std::vector<float>& gains);

private:
    std::function<void()> songEndCallback;
    Song currentSong;
    bool playing = false;
    bool paused = false;
    bool stopped = true;
    int volume = 100;
};
