#include "tools/world/StillBlock.h"

namespace ktool {

StillBlock::StillBlock(int column, int row) : Entity(nullptr)
{
    isPushable = true;
    SetPosition(Vec2(float(column) * 32.0f, float(row) * 32.0f));
}

void StillBlock::SendEvent(int, void*, void*) {}

}  // namespace ktool
