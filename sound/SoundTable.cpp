#include "sound/SoundTable.h"

const SoundTableEntry kSoundTable[SND_COUNT] = {
    {"sounds/KSK_Arrow.wav", false},          {"sounds/KSK_Bomb_Blow.wav", false},
    {"sounds/KSK_Bomb_Drop.wav", false},      {"sounds/KSK_Boomerang.wav", false},
    {"sounds/KSK_Boss_Scream1.wav", false},   {"sounds/KSK_Boss_Scream2.wav", false},
    {"sounds/KSK_Fanfare.wav", false},        {"sounds/KSK_Get_Heart.wav", false},
    {"sounds/KSK_Get_Item.wav", false},       {"sounds/KSK_Get_Jessel.wav", false},
    {"sounds/KSK_Hit.wav", false},            {"sounds/KSK_Hurt.wav", false},
    {"sounds/KSK_Key.wav", false},            {"sounds/KSK_Kill.wav", false},
    {"sounds/KSK_LowHealth.wav", false},      {"sounds/KSK_MagicalRod.wav", false},
    {"sounds/KSK_Recorder.wav", false},       {"sounds/KSK_Shield.wav", false},
    {"sounds/KSK_Stairs.wav", false},         {"sounds/KSK_Sword.wav", false},
    {"sounds/KSK_Sword_Combined.wav", false}, {"sounds/KSK_Sword_Shoot.wav", false},
    {"sounds/KSK_Text.wav", false},           {"sounds/KSK_Unlock.wav", false},
    {"sounds/KSK_Secret.wav", false},         {"sounds/KSK_Fire.wav", false},
    {"sounds/Overworld.mp3", true},           {"sounds/dungeon1.mp3", true},
};
