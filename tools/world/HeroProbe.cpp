#include "tools/world/HeroProbe.h"

#include "player/Tavin.h"
#include "world/KarskRenderer.h"

namespace ktool {

// The world renderer with its tile drawing recorded instead of shown.
class DoorRecorder : public KarskRenderer {
public:
    void DrawTile(int, int tile, int x, int y) override { drawn.push_back({tile, x / 32, (y - 128) / 32}); }
    std::vector<HeroProbe::DrawnTile> drawn;
};

HeroProbe::HeroProbe(const MapFormat::MapData& map) : world(std::make_unique<DoorRecorder>())
{
    world->InitTileFlags();
    world->Map() = map;
    hero = new Tavin("probe", nullptr, nullptr);
    // Bound to this world even when another one is the engine's.
    hero->renderer = world.get();
}

HeroProbe::~HeroProbe()
{
    world->GetEntityList().Clear();
    hero.reset();
    world.reset();
}

MapFormat::MapData& HeroProbe::Map()
{
    return world->Map();
}

bool HeroProbe::HeroFits(float x, float y)
{
    return hero->CanMoveTo(Vec2(x, y));
}

bool HeroProbe::PixelBlocked(float x, float y) const
{
    return world->IsPointBlocked(Vec2(x / 32.0f, y / 32.0f));
}

int HeroProbe::TileMask(int tile) const
{
    return world->TileFlags(uint8_t(tile)) & 15;
}

void HeroProbe::AddBlock(int column, int row)
{
    EntityRef<StillBlock> block(new StillBlock(column, row));
    block->renderer = world.get();
    world->AddEntity(block.get(), false);
}

}  // namespace ktool

namespace ktool {

std::vector<HeroProbe::DrawnTile> HeroProbe::DrawDoors(int sx, int sy)
{
    world->drawn.clear();
    world->SetView(sx, sy, 0.0f, 0.0f);
    world->DrawDoors();
    return world->drawn;
}

}  // namespace ktool
