#include <cmath>

#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

TEST_F(TavinTest, AHeroBringsItsThreeSwordsIntoTheWorldAndTakesThemAlong)
{
    TestEntity* bystander = new TestEntity();
    world->AddEntity(bystander, false);
    EntityRef<Sword> kept;
    {
        EntityRef<Tavin> hero = new Tavin("Ada", nullptr, nullptr);
        EXPECT_STREQ(hero->GetName(), "Tavin");
        EXPECT_STREQ(hero->GetPlayerName(), "Ada");
        ASSERT_EQ(world->GetEntityList().Count(), 6);  // with the two boomerangs
        for (int grade = 0; grade < Tavin::kSwordCount; ++grade) {
            EXPECT_EQ(hero->GetSword(grade)->swordType, grade);
            EXPECT_EQ(hero->GetSword(grade)->GetOwner(), hero.get());
            EXPECT_EQ(world->GetEntityList().Get(grade + 1), hero->GetSword(grade));
        }
        EXPECT_EQ(hero->GetSword(3), nullptr);
        kept = hero->GetSword(1);
    }
    ASSERT_EQ(world->GetEntityList().Count(), 1);
    EXPECT_EQ(world->GetEntityList().Get(0), bystander);
    EXPECT_EQ(kept->RefCount(), 1);
}

TEST_F(TavinTest, HealthKeysCurrencyAndItemsStayInTheirRanges)
{
    Tavin* hero = AddHero();
    hero->SetHealth(7.0f);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);
    hero->SetHealth(-2.0f);  // no death: the hearts simply empty
    hero->SetHealth(std::nanf(""));
    hero->Heal(1.5f);
    EXPECT_FLOAT_EQ(hero->health, -0.5f);
    hero->Heal(10.0f);
    EXPECT_FLOAT_EQ(hero->health, 3.0f);
    hero->keys = 998;
    hero->AddKey();
    hero->AddKey();
    EXPECT_EQ(hero->keys, 999);
    hero->AddCurrency(2000000000);
    hero->AddCurrency(2000000000);
    EXPECT_EQ(hero->pendingCurrency, 999);

    for (int want : {2, 3, 4, 1}) {
        SoundProbe::StopAll();
        hero->SendEvent(Tavin::EVENT_NEXT_ITEM, nullptr, nullptr);
        EXPECT_EQ(hero->selectedItem, want);
        EXPECT_TRUE(SoundProbe::IsPlaying(SND_TEXT));
    }
}
