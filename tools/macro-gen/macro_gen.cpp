// Writes the shipped macro files from their readable source, through the
// program's own record operations and file writer, so that what we ship is
// exactly what the program reads and writes back.
//
//   kx700_macro_gen SOURCE OUTDIR...        group files and macroGrp.ini
//   kx700_macro_gen --constant SOURCE FILE  the constant macro file
//
// Source lines (blank lines and lines starting with '#' are ignored):
//   group NAME
//   macro NAME [| counted N] or [| mode1] or [| mode2]  (a name may hold blanks)
//   down KEY MS | up KEY MS | delay MS
//   move DX DY MS                 signed distances
//   cpi VALUE MS | cpi restore MS
//   led CHANNEL MS                then one line per step:
//   step MODE COLOUR DURATION INTERVAL
// KEY is a key name as the editor shows it (A, LCONTROL, F5, L-KEY, ...).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "macro/event_text.h"
#include "macro/files.h"
#include "macro/record.h"
#include "platform/profile.h"

namespace fs = std::filesystem;
using namespace kx700;
using namespace kx700::macro;

namespace {

struct Group {
    std::string name;
    MacroTable table;
};

[[noreturn]] void Fail(int line, const std::string& why) {
    std::cerr << "macro source line " << line << ": " << why << "\n";
    std::exit(1);
}

std::uint8_t KeyCode(const std::string& name, int line) {
    for (int c = 1; c < 256; ++c)
        if (KeyName(static_cast<std::uint8_t>(c)) == name) return static_cast<std::uint8_t>(c);
    Fail(line, "unknown key " + name);
}

int Number(std::istringstream& in, int line) {
    int v = 0;
    if (!(in >> v)) Fail(line, "number expected");
    return v;
}

std::vector<Group> Parse(const fs::path& source) {
    std::ifstream in(source);
    if (!in) Fail(0, "cannot open " + source.string());
    std::vector<Group> groups;
    StderrMessageSink sink;
    MacroRecord* m = nullptr;
    int ledSteps = 0;  // steps given so far for the last LED event
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::istringstream words(text);
        std::string verb;
        if (!(words >> verb) || verb[0] == '#') continue;
        if (verb == "group") {
            groups.push_back({});
            std::getline(words >> std::ws, groups.back().name);
            if (!IsSafeGroupName(groups.back().name)) Fail(line, "bad group name");
            continue;
        }
        if (groups.empty()) Fail(line, "no group");
        MacroTable& t = groups.back().table;
        if (verb == "macro") {
            if (t.macroCount >= kMaxMacrosPerGroup) Fail(line, "too many macros");
            m = &t.slots[t.macroCount++];
            std::string rest, mode;
            std::getline(words >> std::ws, rest);
            const std::size_t bar = rest.find('|');
            std::string name = rest.substr(0, bar);
            while (!name.empty() && name.back() == ' ') name.pop_back();
            if (name.empty()) Fail(line, "macro without a name");
            if (bar != std::string::npos) words = std::istringstream(rest.substr(bar + 1));
            words >> mode;
            SetMacroName(*m, name);
            m->repeatCount = 1;
            if (mode == "counted")
                m->repeatCount = static_cast<std::uint16_t>(Number(words, line));
            else if (mode == "mode1")
                m->runMode = RUN_MODE1;
            else if (mode == "mode2")
                m->runMode = RUN_MODE2;
            else if (!mode.empty())
                Fail(line, "unknown run mode " + mode);
            continue;
        }
        if (m == nullptr) Fail(line, "no macro");
        const int at = m->eventCount;
        if (verb == "step") {
            if (at == 0 || m->eventCode[static_cast<std::size_t>(at - 1)] != EV_LED) Fail(line, "step without led");
            LedSequence& s = m->ledTable[m->eventParam[static_cast<std::size_t>(at - 1)].x];
            if (++ledSteps > 5) Fail(line, "more than five steps");
            s.stepCount = static_cast<std::uint8_t>(ledSteps);
            LedStep& step = s.steps[static_cast<std::size_t>(ledSteps - 1)];
            step.mode = static_cast<std::uint8_t>(Number(words, line));
            step.colour = static_cast<std::uint8_t>(Number(words, line));
            step.duration = static_cast<std::uint8_t>(Number(words, line));
            step.interval = static_cast<std::uint8_t>(Number(words, line));
            continue;
        }
        EventParam p{};
        std::uint8_t code = EV_DELAY, type = 0;
        if (verb == "down" || verb == "up") {
            std::string key;
            words >> key;
            code = KeyCode(key, line);
            type = verb == "down" ? TY_DOWN : TY_UP;
        } else if (verb == "move") {
            const int dx = Number(words, line), dy = Number(words, line);
            code = EV_MOVE;
            type = dx < 0 ? (dy < 0 ? TY_MOVE_XNEG_YNEG : TY_MOVE_XNEG_YPOS)
                          : (dy < 0 ? TY_MOVE_XPOS_YNEG : TY_MOVE_XPOS_YPOS);
            p = {static_cast<std::uint16_t>(std::abs(dx)), static_cast<std::uint16_t>(std::abs(dy))};
        } else if (verb == "cpi") {
            code = EV_CPI;
            std::string value;
            words >> value;
            type = value == "restore" ? TY_CPI_RESTORE : TY_CPI_SET;
            if (type == TY_CPI_SET) {
                const int index = IndexOfCpi(std::atoi(value.c_str()));
                if (index == 0) Fail(line, "unknown CPI " + value);
                p = {static_cast<std::uint16_t>(index), 0};
            }
        } else if (verb == "led") {
            code = EV_LED;
            ledSteps = 0;
            type = static_cast<std::uint8_t>(TY_LED0 + Number(words, line));
        } else if (verb != "delay") {
            Fail(line, "unknown word " + verb);
        }
        InsertEvent(*m, at, code, type, sink);
        if (m->eventCount != at + 1) Fail(line, "event refused");
        if (code == EV_MOVE || code == EV_CPI) m->eventParam[static_cast<std::size_t>(at)] = p;
        m->eventDelay[static_cast<std::size_t>(at)] = static_cast<std::uint16_t>(Number(words, line));
    }
    return groups;
}

void Check(const Status& s, const fs::path& file) {
    if (!s.ok()) {
        std::cerr << file.string() << ": " << s.message() << "\n";
        std::exit(1);
    }
}

fs::path Utf8Path(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

void WriteGroups(const std::vector<Group>& groups, const fs::path& folder) {
    fs::create_directories(folder);
    profile::Batch list(folder / "macroGrp.ini");
    list.set("MACRO_GROUP_NUM", "macGrpNum", static_cast<std::int64_t>(groups.size()));
    for (int k = 0; k < 20; ++k) {
        const auto i = static_cast<std::size_t>(k);
        list.set("MACRO_GROUP_NAME", std::to_string(k), i < groups.size() ? groups[i].name : "");
    }
    for (const Group& g : groups) {
        const fs::path file = folder / Utf8Path(g.name + ".dat");
        fs::remove(file);
        Check(SaveAllMacros(file, g.table), file);
    }
    fs::remove(folder / "macroGrp.ini");
    Check(list.commit(), folder / "macroGrp.ini");
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--constant") {
        const std::vector<Group> groups = Parse(args[1]);
        if (groups.size() != 1) Fail(0, "the constant macros are one group");
        fs::remove(args[2]);
        Check(SaveAllMacros(args[2], groups[0].table), args[2]);
        return 0;
    }
    if (args.size() < 2) {
        std::cerr << "usage: kx700_macro_gen SOURCE OUTDIR... | --constant SOURCE FILE\n";
        return 2;
    }
    const std::vector<Group> groups = Parse(args[0]);
    if (groups.size() > static_cast<std::size_t>(kMaxGroups)) Fail(0, "more than 12 groups");
    for (std::size_t i = 1; i < args.size(); ++i) WriteGroups(groups, args[i]);
    return 0;
}
