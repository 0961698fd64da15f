# Tests of the projectiles, the bomb and its effects (test_projectiles).
