#include <cmath>

#include "sound/SoundTable.h"
#include "tests/player/SoundProbe.h"
#include "tests/player/TavinTestSupport.h"

TEST_F(TavinTest, AHeroBringsThreeSwordsAndTwoBoomerangsIntoTheWorldAndTakesThemAlong)
{
    TestEntity* bystander = new TestEntity();
    world->AddEntity(bystander, false);
    EntityRef<Sword> kept;
    EntityRef<Boomerang> keptBoomerang;
    {
        EntityRef<Tavin> hero = new Tavin("Ada", nullptr, nullptr);
        EXPECT_STREQ(hero->GetName(), "Tavin");
        EXPECT_STREQ(hero->GetPlayerName(), "Ada");
        ASSERT_EQ(world->GetEntityList().Count(), 1 + 3 + 2);
        for (int grade = 0; grade < 3; ++grade) {
            EXPECT_EQ(hero->GetSword(grade)->swordType, grade);
            EXPECT_EQ(hero->GetSword(grade)->GetOwner(), hero.get());
            EXPECT_EQ(world->GetEntityList().Get(grade + 1), hero->GetSword(grade));
        }
        for (int i = 0; i < 2; ++i) {  // a plain and a magic one
            Boomerang* b = hero->GetBoomerang(i);
            EXPECT_TRUE(b->IsMagic() == (i == 1) && b->GetOwner() == hero.get());
            EXPECT_EQ(world->GetEntityList().Get(4 + i), b);
            EXPECT_TRUE(!b->IsVisible() && b->IsUntargetable() && b->IsTransient() && b->IsLocalOnly());
        }
        EXPECT_TRUE(!hero->GetSword(3) && !hero->GetBoomerang(2) && !hero->GetBoomerang(-1));
        kept = hero->GetSword(1);
        keptBoomerang = hero->GetBoomerang(1);
    }
    ASSERT_EQ(world->GetEntityList().Count(), 1);
    EXPECT_EQ(world->GetEntityList().Get(0), bystander);
    EXPECT_TRUE(kept->RefCount() == 1 && keptBoomerang->RefCount() == 1);
    // Left behind, a boomerang no longer points at its owner and stays inert.
    EXPECT_EQ(keptBoomerang->GetOwner(), nullptr);
    keptBoomerang->Throw(DIR_RIGHT, 330.0f);
    keptBoomerang->Tick(1.0f / 60.0f);
    keptBoomerang->Dead();
    EXPECT_EQ(keptBoomerang->GetPosition(), Vec2(0.0f, 0.0f));
}

TEST_F(TavinTest, HealthKeysCurrencyAndItemsStayInTheirRanges)
{
    Tavin* hero = AddHero();
    EXPECT_EQ(hero->GetSword(0)->GetPosition(), hero->GetPosition());  // placed along with the hero
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
