#pragma once

// A position, tile or screen: pixels, or whole numbers held as floats.
struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;

    Vec2() = default;
    Vec2(float x, float y) : x(x), y(y) {}

    Vec2 operator+(Vec2 o) const { return {x + o.x, y + o.y}; }
    Vec2 operator-(Vec2 o) const { return {x - o.x, y - o.y}; }
    Vec2 operator*(float s) const { return {x * s, y * s}; }
    bool operator==(Vec2 o) const { return x == o.x && y == o.y; }
    bool operator!=(Vec2 o) const { return !(*this == o); }
};

enum Direction { DIR_NONE = -1, DIR_UP = 0, DIR_DOWN = 1, DIR_LEFT = 2, DIR_RIGHT = 3 };

// Up and down, left and right swap; anything else has no opposite.
inline int OppositeDirection(int direction)
{
    switch (direction) {
        case DIR_UP:
            return DIR_DOWN;
        case DIR_DOWN:
            return DIR_UP;
        case DIR_LEFT:
            return DIR_RIGHT;
        case DIR_RIGHT:
            return DIR_LEFT;
        default:
            return DIR_NONE;
    }
}
