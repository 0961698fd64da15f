# Pickups, the boomerang and the push-block.
set(KARSK_PICKUP_SOURCES)
