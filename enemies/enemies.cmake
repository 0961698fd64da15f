# The enemy classes.
set(KARSK_ENEMY_SOURCES
  enemies/Enemy.cpp
  enemies/Krillop.cpp
  enemies/Gorlak.cpp
  enemies/Nerrit.cpp
  enemies/Bat.cpp
  enemies/Skeleton.cpp
  enemies/Snake.cpp
)
