#include <gtest/gtest.h>

#include <cstring>

#include "engine/EngineSettings.h"

using namespace Quill;

namespace {

TEST(CVar, IntAcceptsOnlyIntWrites)
{
    EngineSettings settings;
    CVar* v = settings.NewCVar("lives", CVAR_INT, 0);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->GetInt(), 0);
    EXPECT_TRUE(v->SetInt(3));
    EXPECT_FALSE(v->SetFloat(2.5f));
    EXPECT_FALSE(v->SetString("9"));
    EXPECT_EQ(v->GetInt(), 3);
    EXPECT_EQ(v->GetFloat(), 0.0f);
    EXPECT_EQ(v->GetString(), "");
}

TEST(CVar, FloatAcceptsOnlyFloatWrites)
{
    EngineSettings settings;
    CVar* v = settings.NewCVar("speed", CVAR_FLOAT, 0);
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->SetFloat(1.25f));
    EXPECT_FALSE(v->SetInt(7));
    EXPECT_EQ(v->GetFloat(), 1.25f);
    EXPECT_EQ(v->GetInt(), 0);
}

TEST(CVar, StringIsCutToItsSizeAndAlwaysTerminated)
{
    EngineSettings settings;
    CVar* v = settings.NewCVar("name", CVAR_STRING, 5);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->size, 5);
    EXPECT_TRUE(v->SetString("abcdefgh"));
    EXPECT_EQ(v->GetString(), "abcd");
    EXPECT_EQ(static_cast<char*>(v->value)[4], '\0');
    EXPECT_TRUE(v->SetString("xy"));
    EXPECT_EQ(v->GetString(), "xy");
    EXPECT_STREQ(static_cast<char*>(v->value), "xy");
    EXPECT_FALSE(v->SetInt(1));
    EXPECT_EQ(v->GetString(), "xy");
    EXPECT_FALSE(v->SetString(nullptr));
}

TEST(CVar, StringSizeBelowOneIsRaisedToOne)
{
    EngineSettings settings;
    CVar* v = settings.NewCVar("empty", CVAR_STRING, 0);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->size, 1);
    EXPECT_TRUE(v->SetString("anything"));
    EXPECT_EQ(v->GetString(), "");
}

TEST(CVar, DetachedCVarRefusesEverything)
{
    CVar v;
    EXPECT_FALSE(v.SetInt(1));
    EXPECT_EQ(v.GetInt(), 0);
    v.type = CVAR_STRING;
    EXPECT_FALSE(v.SetString("a"));
    EXPECT_EQ(v.GetString(), "");
}

TEST(EngineSettings, SameNameReturnsTheExistingSetting)
{
    EngineSettings settings;
    CVar* first = settings.NewCVar("volume", CVAR_INT, 0);
    ASSERT_TRUE(first->SetInt(8));
    CVar* again = settings.NewCVar("volume", CVAR_FLOAT, 0);
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->type, CVAR_INT);
    EXPECT_EQ(settings.Find("volume"), first);
    EXPECT_EQ(settings.Find("volume")->GetInt(), 8);
}

TEST(EngineSettings, FindUnknownOrNullIsNull)
{
    EngineSettings settings;
    settings.NewCVar("a", CVAR_INT, 0);
    EXPECT_EQ(settings.Find("b"), nullptr);
    EXPECT_EQ(settings.Find(nullptr), nullptr);
    EXPECT_EQ(settings.NewCVar(nullptr, CVAR_INT, 0), nullptr);
}

TEST(EngineSettings, SettingsKeepTheirAddressesAsMoreAreAdded)
{
    EngineSettings settings;
    CVar* first = settings.NewCVar("first", CVAR_STRING, 16);
    first->SetString("kept");
    for (int i = 0; i < 100; ++i) {
        settings.NewCVar(("filler" + std::to_string(i)).c_str(), CVAR_INT, 0);
    }
    EXPECT_EQ(settings.Find("first"), first);
    EXPECT_EQ(first->GetString(), "kept");
}

}  // namespace
