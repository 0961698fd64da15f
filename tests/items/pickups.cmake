# Tests of the pickups, the boomerang and the push-block (test_pickups).
karsk_add_test_program(test_pickups PickupTest.cpp BoomerangTest.cpp PushblockTest.cpp
  ../player/SoundProbe.cpp ../player/TavinTestSupport.cpp ../app/AppFixture.cpp)
