# Pickups, the boomerang and the push-block.
set(KARSK_PICKUP_SOURCES
  items/Pickup.cpp
  items/Heart.cpp
  items/Jessel.cpp
  items/Key.cpp
  items/Boomerang.cpp
  items/Pushblock.cpp
)
