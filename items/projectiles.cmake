# Projectiles, the bomb and its effects.
set(KARSK_PROJECTILE_SOURCES)
