#include <cmath>

#include "tools/sound/Synth.h"

// Reading voice settings and note names from the sound sources.
namespace ktool {
namespace {

// "<a>" or "<a>:<b>" within [lo, hi]; a single value stands for both.
void ReadRange(const SourceLine& line, const std::string& value, double lo, double hi, const char* what,
               double& from, double& to)
{
    std::vector<std::string> parts = SplitOn(value, ':');
    if (parts.size() > 2)
        line.Fail(std::string(what) + " is <value> or <from>:<to>, not '" + value + "'");
    from = ParseNumber(line, parts[0], lo, hi, what);
    to = parts.size() == 2 ? ParseNumber(line, parts[1], lo, hi, what) : from;
}

void ReadRateDepth(const SourceLine& line, const std::string& value, const char* what, double& rate,
                   double& depth)
{
    std::vector<std::string> parts = SplitOn(value, ':');
    if (parts.size() != 2)
        line.Fail(std::string(what) + " is <rate hz>:<depth fraction>, not '" + value + "'");
    rate = ParseNumber(line, parts[0], 0, 100, what);
    depth = ParseNumber(line, parts[1], 0, 1, what);
}

}  // namespace

Wave ParseWave(const SourceLine& line, const std::string& word)
{
    static const struct {
        const char* name;
        Wave wave;
    } kWaves[] = {{"sine", Wave::Sine}, {"square", Wave::Square}, {"triangle", Wave::Triangle},
                  {"saw", Wave::Saw},   {"noise", Wave::Noise},   {"crackle", Wave::Crackle},
                  {"kick", Wave::Kick}, {"snare", Wave::Snare},   {"hat", Wave::Hat}};
    for (const auto& w : kWaves) {
        if (word == w.name)
            return w.wave;
    }
    line.Fail("unknown wave '" + word +
              "' (sine, square, triangle, saw, noise, crackle, kick, snare or hat)");
}

void ApplyVoiceSetting(const SourceLine& line, const std::string& key, const std::string& value, Voice& v)
{
    if (key == "at") {
        v.start = ParseNumber(line, value, 0, 60, "at");
    } else if (key == "len") {
        v.length = ParseNumber(line, value, 0.001, 60, "len");
    } else if (key == "freq") {
        ReadRange(line, value, 1, 22050, "freq", v.freqFrom, v.freqTo);
    } else if (key == "amp") {
        v.amp = ParseNumber(line, value, 0, 4, "amp");
    } else if (key == "attack") {
        v.attack = ParseNumber(line, value, 0, 10, "attack");
    } else if (key == "release") {
        v.release = ParseNumber(line, value, 0, 10, "release");
    } else if (key == "decay") {
        v.decay = ParseNumber(line, value, 0, 10, "decay");
    } else if (key == "duty") {
        v.duty = ParseNumber(line, value, 0.01, 0.99, "duty");
    } else if (key == "vibrato") {
        ReadRateDepth(line, value, "vibrato", v.vibratoRate, v.vibratoDepth);
    } else if (key == "tremolo") {
        ReadRateDepth(line, value, "tremolo", v.tremoloRate, v.tremoloDepth);
    } else if (key == "lowpass") {
        ReadRange(line, value, 0, 11025, "lowpass", v.lowpass, v.lowpassTo);
    } else if (key == "highpass") {
        ReadRange(line, value, 0, 11025, "highpass", v.highpass, v.highpassTo);
    } else if (key == "seed") {
        v.seed = uint32_t(ParseInt(line, value, 0, 1000000, "seed"));
    } else {
        line.Fail("unknown voice setting '" + key + "'");
    }
}

double NoteFrequency(const SourceLine& line, const std::string& note)
{
    static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G from C
    if (note.size() < 2 || note[0] < 'A' || note[0] > 'G')
        line.Fail("'" + note + "' is not a note like C4, F#3 or Bb5");
    int semitone = kSemitone[note[0] - 'A'];
    size_t at = 1;
    if (note[at] == '#') {
        ++semitone;
        ++at;
    } else if (note[at] == 'b') {
        --semitone;
        ++at;
    }
    int octave = ParseInt(line, note.substr(at), 0, 8, "octave");
    int midi = 12 * (octave + 1) + semitone;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

}  // namespace ktool
