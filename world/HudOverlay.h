#pragma once

class KarskRenderer;
class Tavin;

// Draws the hero's sword, selected item, hearts and counters over the
// heads-up artwork. Nothing without a hero.
void DrawHeadsUp(KarskRenderer& world, Tavin* hero);
