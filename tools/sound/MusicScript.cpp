#include <cmath>
#include <map>

#include "tools/sound/SoundScripts.h"
#include "tools/sound/Synth.h"

namespace ktool {
namespace {

struct Instrument {
    Voice voice;
    double gate = 0.9;       // part of each note's time that it sounds
    double echoBeats = 0;    // delay of each repeat, 0 for none
    double echoGain = 0;     // loudness of each repeat against the one before
    double chorusCents = 0;  // a second voice this far above, 0 for none
};

struct Note {
    std::string pitch;  // note name, "r" rest or "x" hit
    double beats = 0;
    const SourceLine* line = nullptr;
};

struct Track {
    std::vector<Note> notes;
    double beats = 0;
    const SourceLine* firstLine = nullptr;
};

struct Section {
    std::map<std::string, Track> tracks;
    const SourceLine* header = nullptr;
    double beats = 0;
};

void ReadInstrument(const SourceLine& line, std::map<std::string, Instrument>& instruments)
{
    if (line.words.size() < 3)
        line.Fail("instrument needs a name and a wave");
    Instrument in;
    in.voice.wave = ParseWave(line, line.words[2]);
    if (in.voice.wave == Wave::Kick)
        in.voice.freqFrom = 150, in.voice.freqTo = 45;
    if (in.voice.wave == Wave::Snare)
        in.voice.freqFrom = in.voice.freqTo = 190;
    for (size_t i = 3; i < line.words.size(); ++i) {
        std::string key, value;
        SplitKeyValue(line, line.words[i], key, value);
        if (key == "gate") {
            in.gate = ParseNumber(line, value, 0.05, 1, "gate");
        } else if (key == "echo") {
            std::vector<std::string> parts = SplitOn(value, ':');
            if (parts.size() != 2)
                line.Fail("echo is <delay beats>:<gain>, not '" + value + "'");
            in.echoBeats = ParseNumber(line, parts[0], 0.0625, 8, "echo delay");
            in.echoGain = ParseNumber(line, parts[1], 0, 0.9, "echo gain");
        } else if (key == "chorus") {
            in.chorusCents = ParseNumber(line, value, 0, 100, "chorus");
        } else {
            ApplyVoiceSetting(line, key, value, in.voice);
        }
    }
    instruments[line.words[1]] = in;
}

// "<pitch>:<beats>" or "<pitch>:<beats>*<repeats>".
void ReadNotes(const SourceLine& line, Track& track)
{
    if (!track.firstLine)
        track.firstLine = &line;
    for (size_t i = 1; i < line.words.size(); ++i) {
        const std::string& word = line.words[i];
        size_t colon = word.find(':');
        if (colon == std::string::npos)
            line.Fail("notes are <pitch>:<beats>, not '" + word + "'");
        std::string length = word.substr(colon + 1);
        int repeats = 1;
        size_t star = length.find('*');
        if (star != std::string::npos) {
            repeats = ParseInt(line, length.substr(star + 1), 1, 256, "repeat count");
            length.resize(star);
        }
        Note note{word.substr(0, colon), ParseNumber(line, length, 0.0625, 64, "note length"), &line};
        if (note.pitch != "r" && note.pitch != "x") {
            for (const std::string& pitch : SplitOn(note.pitch, '+')) NoteFrequency(line, pitch);
        }
        for (int r = 0; r < repeats; ++r) {
            track.notes.push_back(note);
            track.beats += note.beats;
        }
    }
}

void CloseSection(Section& section, const std::string& name)
{
    if (section.tracks.empty())
        section.header->Fail("section " + name + " has no tracks");
    const Track* first = nullptr;
    for (auto& entry : section.tracks) {
        const Track& track = entry.second;
        if (!first) {
            first = &track;
            section.beats = track.beats;
        } else if (std::fabs(track.beats - section.beats) > 1e-6) {
            track.firstLine->Fail("track " + entry.first + " of section " + name + " lasts " +
                                  std::to_string(track.beats) + " beats but " +
                                  std::to_string(section.beats) + " is the length of the others");
        }
    }
}

// Every pitch of a chord, each with its chorus voice and echoes.
void PlayNote(const Instrument& in, const Note& note, double start, double secondsPerBeat, uint32_t& seed,
              std::vector<float>& mix)
{
    std::vector<std::string> pitches =
        note.pitch == "x" ? std::vector<std::string>{"x"} : SplitOn(note.pitch, '+');
    for (const std::string& pitch : pitches) {
        Voice v = in.voice;
        v.start = start;
        v.length = note.beats * secondsPerBeat * in.gate;
        if (pitch != "x")
            v.freqFrom = v.freqTo = NoteFrequency(*note.line, pitch);
        v.seed = seed++;
        int copies = in.chorusCents > 0 ? 2 : 1;
        for (int c = 0; c < copies; ++c) {
            Voice voice = v;
            if (c == 1) {
                double ratio = std::pow(2.0, in.chorusCents / 1200.0);
                voice.freqFrom *= ratio;
                voice.freqTo *= ratio;
            }
            double amp = voice.amp;
            for (int echo = 0; echo < (in.echoBeats > 0 ? 4 : 1); ++echo) {
                voice.start = v.start + echo * in.echoBeats * secondsPerBeat;
                voice.amp = amp * std::pow(in.echoGain, echo);
                RenderVoice(voice, mix, true);
            }
        }
    }
}

}  // namespace

std::vector<int16_t> RenderMusic(const std::vector<SourceLine>& lines)
{
    double tempo = 0;
    std::map<std::string, Instrument> instruments;
    std::map<std::string, Section> sections;
    std::vector<const Section*> order;
    const SourceLine* playLine = nullptr;
    const SourceLine* introLine = nullptr;
    size_t introSamples = 0;
    Section* open = nullptr;
    std::string openName;
    for (const SourceLine& line : lines) {
        if (line.Empty())
            continue;
        const std::string& command = line.words[0];
        if (open) {
            if (command == "end") {
                CloseSection(*open, openName);
                open = nullptr;
            } else if (!instruments.count(command)) {
                line.Fail("unknown instrument '" + command + "' in section " + openName);
            } else {
                ReadNotes(line, open->tracks[command]);
            }
        } else if (command == "tempo" && line.words.size() == 2) {
            tempo = ParseNumber(line, line.words[1], 30, 300, "tempo");
        } else if (command == "loopstart" && line.words.size() == 2) {
            introSamples = size_t(ParseInt(line, line.words[1], 0, 10 * kSampleRate, "loopstart"));
            introLine = &line;
        } else if (command == "instrument") {
            ReadInstrument(line, instruments);
        } else if (command == "section" && line.words.size() == 2) {
            openName = line.words[1];
            if (sections.count(openName))
                line.Fail("section " + openName + " is defined twice");
            open = &sections[openName];
            open->header = &line;
        } else if (command == "play") {
            playLine = &line;
            for (size_t i = 1; i < line.words.size(); ++i) {
                auto found = sections.find(line.words[i]);
                if (found == sections.end())
                    line.Fail("play names section '" + line.words[i] + "', which is not defined above");
                order.push_back(&found->second);
            }
        } else {
            line.Fail("unknown command '" + command + "' (tempo, loopstart, instrument, section, play)");
        }
    }
    if (open)
        open->header->Fail("section " + openName + " has no 'end'");
    if (!playLine || order.empty() || tempo <= 0)
        throw SourceError((lines.empty() ? std::string("music") : lines[0].file) +
                          ": a piece needs a tempo line and a play line naming its sections");
    double secondsPerBeat = 60.0 / tempo;
    double totalBeats = 0;
    for (const Section* s : order) totalBeats += s->beats;
    std::vector<float> mix(size_t(std::lround(totalBeats * secondsPerBeat * kSampleRate)), 0.0f);
    if (introLine && introSamples >= mix.size())
        introLine->Fail("loopstart " + std::to_string(introSamples) + " is not shorter than the piece");
    double sectionStart = 0;
    uint32_t seed = 1;
    for (const Section* s : order) {
        for (const auto& entry : s->tracks) {
            const Instrument& in = instruments[entry.first];
            double at = sectionStart;
            for (const Note& note : entry.second.notes) {
                if (note.pitch != "r")
                    PlayNote(in, note, at * secondsPerBeat, secondsPerBeat, seed, mix);
                at += note.beats;
            }
        }
        sectionStart += s->beats;
    }
    RemoveOffset(mix, true);
    std::vector<int16_t> loop = ToPcm16(mix, 0.85);
    // The lead-in is the loop's own ending, so sample `introSamples` follows
    // the last sample exactly as it follows the lead-in.
    std::vector<int16_t> out(loop.end() - long(introSamples), loop.end());
    out.insert(out.end(), loop.begin(), loop.end());
    return out;
}

}  // namespace ktool
