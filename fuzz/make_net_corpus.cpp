// Writes the seed inputs of the network fuzzers: one file per message, each a
// whole frame (type, length, payload) as the game sends it, aimed at the
// entities the fuzzing game puts on its start screen (uids 0, 1 and 10 to
// 17), plus a few session frames, a fight of several frames and two headers
// that must drop the peer. Usage: make_net_corpus DIR
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/QuillLogger.h"
#include "entity/Entity.h"
#include "fuzz/NetFuzzGame.h"
#include "net/GameMessages.h"
#include "world/KarskRenderer.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutU32(Bytes& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

Bytes Frame(int32_t type, const uint8_t* payload, uint32_t length)
{
    Bytes frame;
    PutU32(frame, uint32_t(type));
    PutU32(frame, length);
    frame.insert(frame.end(), payload, payload + length);
    return frame;
}

Bytes Frame(const NetMessage& m)
{
    return Frame(m.type, m.payload.GetData(), m.payload.GetLength());
}

// Keeps, as whole frames, what the game's senders hand it.
class CapturingSession : public NetSession {
public:
    bool IsServer() const override { return true; }
    bool IsConnected() const override { return true; }
    bool SendMessage(NetMessage* message) override
    {
        last = Frame(*message);
        return true;
    }
    Bytes last;
};

template <class Fill>
Bytes Message(int32_t type, Fill fill)
{
    NetMessage m;
    m.type = type;
    fill(m.payload);
    return Frame(m);
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class Writer {
public:
    explicit Writer(std::string dir) : dir(std::move(dir)) {}
    void Put(const std::string& name, const Bytes& bytes)
    {
        std::ofstream out(dir + "/" + name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "make_net_corpus: cannot write %s/%s\n", dir.c_str(), name.c_str());
            failed = true;
        }
        ++count;
    }
    std::string dir;
    int count = 0;
    bool failed = false;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make_net_corpus DIR\n", stderr);
        return 2;
    }
    Quill::Logger()->SetEchoToStderr(false);
    Writer out(argv[1]);

    // The records come from the entities themselves, on a started host.
    NetFuzzGame game(NetFuzzGame::Role::Host);
    if (!game.Start()) {
        std::fputs("make_net_corpus: the fuzzing game did not start\n", stderr);
        return 1;
    }
    KarskRenderer* world = game.App()->World();
    auto record = [world](uint32_t uid, Bytes& into) {
        NetStream s(512);
        Entity* e = world->FindEntity(uid);
        if (!e || !e->WriteState(&s))
            return false;
        into.insert(into.end(), s.GetData(), s.GetData() + s.GetLength());
        return true;
    };
    const char* names[] = {"krillop-red", "krillop-blue", "gorlak", "nerrit",
                           "bat",         "skeleton",     "snake",  "pushblock"};
    for (uint32_t i = 0; i < 8; ++i) {
        Bytes payload;
        PutU32(payload, 1);
        if (!record(NetFuzzGame::kFirstCrowdUid + i, payload)) {
            std::fprintf(stderr, "make_net_corpus: no entity with uid %u\n", NetFuzzGame::kFirstCrowdUid + i);
            return 1;
        }
        out.Put(std::string("02-entity-state-") + names[i],
                Frame(MSG_ENTITY_STATE, payload.data(), uint32_t(payload.size())));
    }
    {
        Bytes payload;
        PutU32(payload, 2);
        record(11, payload);
        record(17, payload);
        out.Put("02-entity-state-two-records",
                Frame(MSG_ENTITY_STATE, payload.data(), uint32_t(payload.size())));
    }
    // A spawn carries the new entity's record; here with new uids and places.
    auto spawn = [&](uint32_t fromUid, uint32_t uid, float x, float y) {
        NetStream s(512);
        Entity* e = world->FindEntity(fromUid);
        e->WriteState(&s);
        Bytes payload(s.GetData(), s.GetData() + s.GetLength());
        Bytes head;
        PutU32(head, uid);
        PutU32(head, e->type);
        uint32_t bits;
        std::memcpy(&bits, &x, 4);
        PutU32(head, bits);
        std::memcpy(&bits, &y, 4);
        PutU32(head, bits);
        std::copy(head.begin(), head.end(), payload.begin());
        return Frame(MSG_SPAWN, payload.data(), uint32_t(payload.size()));
    };
    out.Put("03-spawn-krillop", spawn(10, 40, 125 * 32.0f, 82 * 32.0f));
    out.Put("03-spawn-bat", spawn(14, 41, 117 * 32.0f, 80 * 32.0f));
    out.Put("03-spawn-pushblock", spawn(17, 42, 3840.0f, 2656.0f));

    CapturingSession capture;
    auto sent = [&capture] { return capture.last; };

    // Hero updates: a joining player's (position, direction, health) and a
    // host's, which adds a boomerang entry for each hero.
    out.Put("00-hero-update-from-client", Message(MSG_HERO_UPDATE, [](NetStream& s) {
                s.WriteF32(118 * 32.0f + 6.0f), s.WriteF32(83 * 32.0f), s.WriteI32(DIR_RIGHT),
                    s.WriteF32(2.5f);
            }));
    out.Put("00-hero-update-from-host", Message(MSG_HERO_UPDATE, [](NetStream& s) {
                s.WriteF32(120 * 32.0f - 6.0f), s.WriteF32(83 * 32.0f), s.WriteI32(DIR_LEFT),
                    s.WriteF32(3.0f);
                for (int hero = 0; hero < 2; ++hero)
                    s.WriteF32(121 * 32.0f), s.WriteF32(83 * 32.0f), s.WriteU8(uint8_t(hero == 0));
            }));
    SendScreenEntered(&capture, Vec2(8.0f, 7.0f));
    out.Put("01-screen-entered-east", sent());
    SendScreenEntered(&capture, Vec2(7.0f, 6.0f));
    out.Put("01-screen-entered-north", sent());
    SendRemove(&capture, 10);
    out.Put("04-remove-krillop", sent());
    SendRemove(&capture, 17);
    out.Put("04-remove-pushblock", sent());
    out.Put("05-chat", Message(MSG_CHAT, [](NetStream& s) {
                const char text[] = "hello there";
                s.WriteU32(sizeof text);
                s.Write(text, sizeof text);
            }));
    SendHit(&capture, 11, Vec2(124 * 32.0f, 84 * 32.0f), 1.0f, 0.25f, DIR_RIGHT, 0);
    out.Put("06-hit-enemy", sent());
    SendHit(&capture, 0, Vec2(120 * 32.0f, 83 * 32.0f), 0.5f, 1.0f, DIR_LEFT, 64);
    out.Put("06-hit-host-hero", sent());
    SendHit(&capture, 1, Vec2(118 * 32.0f, 83 * 32.0f), 0.5f, 1.0f, DIR_UP, 64);
    out.Put("06-hit-joining-hero", sent());
    SendButtonPressed(&capture, MSG_SWORD_PRESSED, Vec2(118 * 32.0f, 83 * 32.0f));
    out.Put("07-sword-pressed", sent());
    SendDeath(&capture, 12);
    out.Put("08-death-gorlak", sent());
    SendEnemyEvent(&capture, 11, DIR_LEFT);
    out.Put("09-enemy-event-krillop", sent());
    SendEnemyEvent(&capture, 13, DIR_UP);
    out.Put("09-enemy-event-nerrit", sent());
    SendEnemyEvent(&capture, 14, DIR_DOWN);
    out.Put("09-enemy-event-bat", sent());
    SendDoorOpened(&capture, 3, Vec2(7.0f, 7.0f));
    out.Put("10-door-opened-east", sent());
    SendDoorOpened(&capture, 1, Vec2(7.0f, 7.0f));
    out.Put("10-door-opened-north", sent());
    const int kinds[] = {1, 2, 4, 8};
    const char* kindNames[] = {"coin", "five-pieces", "heart", "key"};
    for (int i = 0; i < 4; ++i) {
        SendPickupDrop(&capture, kinds[i], Vec2(119 * 32.0f, 83 * 32.0f), 10.0f);
        out.Put(std::string("11-pickup-drop-") + kindNames[i], sent());
    }
    SendPushblockMoved(&capture, 17, DIR_DOWN);
    out.Put("12-pushblock-moved", sent());
    SendButtonPressed(&capture, MSG_ITEM_PRESSED, Vec2(118 * 32.0f, 83 * 32.0f));
    out.Put("13-item-pressed", sent());

    // A blow that kills, the drop and the removal, as a host sends them.
    SendHit(&capture, 10, Vec2(122 * 32.0f, 83 * 32.0f), 5.0f, 0.25f, DIR_RIGHT, 0);
    Bytes fight = sent();
    SendDeath(&capture, 10);
    fight = fight + sent();
    SendPickupDrop(&capture, 1, Vec2(122 * 32.0f, 83 * 32.0f), 10.0f);
    fight = fight + sent();
    SendRemove(&capture, 10);
    out.Put("20-fight", fight + sent());

    // The session's own frames, which after the login are game messages of
    // no meaning.
    const char* password = CTestApp::SessionPassword();
    char name[NetSession::kNameBytes] = "peer";
    Bytes login(password, password + NetSession::kPasswordBytes);
    login.insert(login.end(), name, name + sizeof name);
    out.Put("155-challenge", Frame(NetSession::MSG_CHALLENGE, nullptr, 0));
    out.Put("156-login", Frame(NetSession::MSG_LOGIN, login.data(), uint32_t(login.size())));
    out.Put("157-login-failed", Frame(NetSession::MSG_LOGIN_FAILED, nullptr, 0));
    out.Put("158-login-accepted",
            Frame(NetSession::MSG_LOGIN_ACCEPTED, reinterpret_cast<const uint8_t*>(name), sizeof name));

    // Headers that drop the peer: a negative type, a payload over 4096 bytes.
    out.Put("90-bad-negative-type", Frame(-1, nullptr, 0));
    Bytes oversized;
    PutU32(oversized, MSG_HIT);
    PutU32(oversized, NetSession::kMaxPayload + 1);
    out.Put("91-bad-oversized", oversized);

    game.Stop();
    std::printf("make_net_corpus: %d inputs in %s\n", out.count, out.dir.c_str());
    return out.failed ? 1 : 0;
}
