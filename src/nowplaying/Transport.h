#pragma once

class Player;
class PlayList;

// The transport actions that the now-playing page and its lyrics view share. Each does nothing
// without the player (or play list) it needs.
namespace Transport {

constexpr int VOLUME_STEP = 5;
constexpr int SEEK_SECONDS = 5;

// Pauses when playing, plays otherwise.
void togglePlayPause(Player* player);
// Changes the volume by step, kept within 0..100.
void stepVolume(Player* player, int step);
// Stops, then plays the play mode's previous (step < 0) or next song when there is one,
// passing over songs that cannot be played in the same direction.
void skip(PlayList* playlist, int step);

} // namespace Transport
