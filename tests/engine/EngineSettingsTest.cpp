#include <gtest/gtest.h>

#include "engine/EngineSettings.h"

using namespace Quill;

namespace {

// A setting takes only writes of its own type; strings are cut to their size.
TEST(CVar, WritesMustMatchTheTypeAndStringsFitTheirSize)
{
    EngineSettings settings;
    CVar* i = settings.NewCVar("lives", CVAR_INT, 0);
    CVar* f = settings.NewCVar("speed", CVAR_FLOAT, 0);
    CVar* s = settings.NewCVar("name", CVAR_STRING, 5);
    CVar* empty = settings.NewCVar("empty", CVAR_STRING, 0);
    ASSERT_TRUE(i && f && s && empty);
    EXPECT_EQ(i->GetInt(), 0);
    EXPECT_TRUE(i->SetInt(3));
    EXPECT_FALSE(i->SetFloat(2.5f));
    EXPECT_FALSE(i->SetString("9"));
    EXPECT_EQ(i->GetInt(), 3);
    EXPECT_EQ(i->GetFloat(), 0.0f);
    EXPECT_EQ(i->GetString(), "");
    EXPECT_TRUE(f->SetFloat(1.25f));
    EXPECT_FALSE(f->SetInt(7));
    EXPECT_EQ(f->GetFloat(), 1.25f);
    EXPECT_EQ(f->GetInt(), 0);

    EXPECT_EQ(s->size, 5);
    EXPECT_TRUE(s->SetString("abcdefgh"));
    EXPECT_EQ(s->GetString(), "abcd");
    EXPECT_EQ(static_cast<char*>(s->value)[4], '\0');
    EXPECT_TRUE(s->SetString("xy"));
    EXPECT_STREQ(static_cast<char*>(s->value), "xy");
    EXPECT_FALSE(s->SetInt(1));
    EXPECT_FALSE(s->SetString(nullptr));
    EXPECT_EQ(s->GetString(), "xy");
    EXPECT_EQ(empty->size, 1);  // raised to room for the terminator
    EXPECT_TRUE(empty->SetString("anything"));
    EXPECT_EQ(empty->GetString(), "");

    CVar detached;
    EXPECT_FALSE(detached.SetInt(1));
    EXPECT_EQ(detached.GetInt(), 0);
    detached.type = CVAR_STRING;
    EXPECT_FALSE(detached.SetString("a"));
    EXPECT_EQ(detached.GetString(), "");
}

TEST(EngineSettings, NamesAreUniqueAndSettingsKeepTheirAddresses)
{
    EngineSettings settings;
    CVar* first = settings.NewCVar("volume", CVAR_INT, 0);
    ASSERT_TRUE(first->SetInt(8));
    CVar* again = settings.NewCVar("volume", CVAR_FLOAT, 0);
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->type, CVAR_INT);
    for (int i = 0; i < 100; ++i) settings.NewCVar(("filler" + std::to_string(i)).c_str(), CVAR_INT, 0);
    EXPECT_EQ(settings.Find("volume"), first);
    EXPECT_EQ(first->GetInt(), 8);
    EXPECT_EQ(settings.Find("b"), nullptr);
    EXPECT_EQ(settings.Find(nullptr), nullptr);
    EXPECT_EQ(settings.NewCVar(nullptr, CVAR_INT, 0), nullptr);
}

}  // namespace
