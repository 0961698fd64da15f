# Tests of the projectiles, the bomb and its effects (test_projectiles).
karsk_add_test_program(test_projectiles
  ${PROJECT_SOURCE_DIR}/tests/player/SoundProbe.cpp
  ${PROJECT_SOURCE_DIR}/tests/player/TavinTestSupport.cpp
  ProjectileTestSupport.cpp
  RockTest.cpp
  EnergyBallTest.cpp
  ThrowSwordTest.cpp
  FireTest.cpp
  ArrowTest.cpp
  BombTest.cpp
  DeathSparkTest.cpp
  TavinItemsTest.cpp)
