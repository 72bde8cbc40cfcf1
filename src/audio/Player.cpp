#include "audio/Player.h"

// Placeholder until the audio engine lands: nothing can be loaded or heard.
Player::Player() = default;
Player::~Player() = default;
bool Player::initAudioDevice() {
    return false;
}
bool Player::loadSong(const Song&) {
    return false;
}
void Player::play() {
}
void Player::pause() {
}
void Player::stop() {
}
void Player::cleanup() {
}
void Player::setVolume(int value) {
    volume = value < 0 ? 0 : (value > 100 ? 100 : value);
}
int Player::getVolume() const {
    return volume;
}
float Player::getProgress() const {
    return 0.0f;
}
double Player::getCurrentTime() const {
    return 0.0;
}
double Player::getDuration() const {
    return 0.0;
}
bool Player::isPlaying() const {
    return playing;
}
bool Player::isPaused() const {
    return paused;
}
bool Player::isStopped() const {
    return stopped;
}
void Player::setSongEndCallback(std::function<void()> callback) {
    songEndCallback = std::move(callback);
}
void Player::handleEvent(SDL_Event*) {
}
std::string Player::getCurrentFilePath() const {
    return currentSong.filepath;
}
void Player::fastForward(int) {
}
void Player::rewind(int) {
}
void Player::setEQGains(const std::vector<float>&) {
}
