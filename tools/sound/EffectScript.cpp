#include <algorithm>
#include <cmath>

#include "tools/sound/SoundScripts.h"
#include "tools/sound/Synth.h"

namespace ktool {
namespace {

constexpr double kShortest = 0.05;
constexpr double kLongest = 1.5;

void ReadVoice(const SourceLine& line, size_t from, Voice& voice)
{
    for (size_t i = from; i < line.words.size(); ++i) {
        std::string key, value;
        SplitKeyValue(line, line.words[i], key, value);
        ApplyVoiceSetting(line, key, value, voice);
    }
}

// "seq <wave> step=<s> notes=C5,E5,... [voice settings]": one voice per note.
void ReadSequence(const SourceLine& line, std::vector<Voice>& voices)
{
    if (line.words.size() < 2)
        line.Fail("seq needs a wave");
    Voice base;
    base.wave = ParseWave(line, line.words[1]);
    double step = 0;
    bool lengthGiven = false;
    std::vector<std::string> notes;
    for (size_t i = 2; i < line.words.size(); ++i) {
        std::string key, value;
        SplitKeyValue(line, line.words[i], key, value);
        if (key == "step")
            step = ParseNumber(line, value, 0.001, 10, "step");
        else if (key == "notes")
            notes = SplitOn(value, ',');
        else {
            lengthGiven = lengthGiven || key == "len";
            ApplyVoiceSetting(line, key, value, base);
        }
    }
    if (step <= 0 || notes.empty())
        line.Fail("seq needs step=<seconds> and notes=<note>,<note>,...");
    for (size_t n = 0; n < notes.size(); ++n) {
        if (notes[n] == "r")
            continue;
        Voice v = base;
        v.start = base.start + step * double(n);
        v.freqFrom = v.freqTo = NoteFrequency(line, notes[n]);
        if (!lengthGiven)
            v.length = step;
        v.seed = base.seed + uint32_t(n);
        voices.push_back(v);
    }
}

SoundEffect Finish(const SourceLine& header, const std::string& name, double volume,
                   const std::vector<Voice>& voices)
{
    if (voices.empty())
        header.Fail("sound " + name + " has no voices");
    double end = 0;
    for (const Voice& v : voices) end = std::max(end, v.start + v.length);
    if (end < kShortest || end > kLongest)
        header.Fail("sound " + name + " lasts " + std::to_string(end) + " s; effects last 0.05 to 1.5 s");
    std::vector<float> mix(size_t(std::ceil(end * kSampleRate)), 0.0f);
    for (const Voice& v : voices) RenderVoice(v, mix, false);
    RemoveOffset(mix, false);
    return SoundEffect{name, ToPcm16(mix, volume)};
}

}  // namespace

std::vector<SoundEffect> RenderEffects(const std::vector<SourceLine>& lines)
{
    std::vector<SoundEffect> effects;
    const SourceLine* header = nullptr;
    std::string name;
    double volume = 0.8;
    std::vector<Voice> voices;
    for (const SourceLine& line : lines) {
        if (line.Empty())
            continue;
        const std::string& command = line.words[0];
        if (command == "sound") {
            if (header)
                line.Fail("sound " + name + " (line " + std::to_string(header->number) + ") has no 'end'");
            if (line.words.size() < 2)
                line.Fail("sound needs a name");
            header = &line;
            name = line.words[1];
            volume = 0.8;
            voices.clear();
            for (const SoundEffect& e : effects) {
                if (e.name == name)
                    line.Fail("sound " + name + " is defined twice");
            }
            for (size_t i = 2; i < line.words.size(); ++i) {
                std::string key, value;
                SplitKeyValue(line, line.words[i], key, value);
                if (key != "volume")
                    line.Fail("unknown sound setting '" + key + "'");
                volume = ParseNumber(line, value, 0.01, 1, "volume");
            }
        } else if (!header) {
            line.Fail("'" + command + "' outside a sound block");
        } else if (command == "end") {
            effects.push_back(Finish(*header, name, volume, voices));
            header = nullptr;
        } else if (command == "seq") {
            ReadSequence(line, voices);
        } else {
            Voice v;
            v.wave = ParseWave(line, command);
            v.seed = uint32_t(voices.size() + 1);
            ReadVoice(line, 1, v);
            voices.push_back(v);
        }
    }
    if (header)
        header->Fail("sound " + name + " has no 'end'");
    return effects;
}

}  // namespace ktool
