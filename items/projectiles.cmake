# Projectiles, the bomb and its effects.
set(KARSK_PROJECTILE_SOURCES
  items/Projectile.cpp
  items/Rock.cpp
  items/EnergyBall.cpp
  items/ThrowSword.cpp
  items/Fire.cpp
  items/Arrow.cpp
  items/Bomb.cpp
  items/Smoke.cpp
  items/DeathSpark.cpp
)
