# Tests of the pickups, the boomerang and the push-block (test_pickups).
