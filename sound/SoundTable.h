#pragma once

// Indices of the game's sounds, in the order they are loaded.
enum SoundIndex {
    SND_ARROW = 0,
    SND_BOMB_BLOW = 1,
    SND_BOMB_DROP = 2,
    SND_BOOMERANG = 3,
    SND_BOSS_SCREAM1 = 4,
    SND_BOSS_SCREAM2 = 5,
    SND_FANFARE = 6,
    SND_GET_HEART = 7,
    SND_GET_ITEM = 8,
    SND_GET_JESSEL = 9,
    SND_HIT = 10,
    SND_HURT = 11,
    SND_KEY = 12,
    SND_KILL = 13,
    SND_LOW_HEALTH = 14,
    SND_MAGICAL_ROD = 15,
    SND_RECORDER = 16,
    SND_SHIELD = 17,
    SND_STAIRS = 18,
    SND_SWORD = 19,
    SND_SWORD_COMBINED = 20,
    SND_SWORD_SHOOT = 21,
    SND_TEXT = 22,
    SND_UNLOCK = 23,
    SND_SECRET = 24,
    SND_FIRE = 25,
    SND_MUSIC_OVERWORLD = 26,
    SND_MUSIC_DUNGEON = 27,
    SND_COUNT = 28
};

struct SoundTableEntry {
    const char* file;
    bool loop;
};

extern const SoundTableEntry kSoundTable[SND_COUNT];
