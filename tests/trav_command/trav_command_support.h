// What the traverse command's tests share: a host session with Kestrom loaded
// and a drawing in the test's own folder, file helpers, and input that can act
// between two answers (a file deleted, a disk that fills up) while a command
// is asking.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host_fixture.h"
#include "session/session.h"
#include "trav_model.h"
#include "trav_settings.h"

inline std::string read_text(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void write_text(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

// How often part stands in text, counted without overlaps.
inline size_t count_of(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

// A traverse file of one leg: station 1 fixed at (1000, 2000), 2 due east 100 m.
inline const char* const one_leg =
    "KOLVA4\n"
    "P,1,1,1000.0000000000,2000.0000000000,0.000,METER,\n"
    "T,1,2,90.0000,100.000,0.000,METER,\n";

// Script lines as answers; a line that names one of the actions runs it
// instead of answering, so that something happens while a command asks.
class acting_input : public host::Input {
public:
    acting_input(const std::string& script, std::map<std::string, std::function<void()>> actions)
        : actions_(std::move(actions))
    {
        std::istringstream lines(script);
        for (std::string line; std::getline(lines, line);) lines_.push_back(line);
    }
    std::optional<std::string> next_line() override
    {
        while (next_ < lines_.size()) {
            const std::string& line = lines_[next_++];
            auto action = actions_.find(line);
            if (action == actions_.end()) return line;
            action->second();
        }
        return std::nullopt;
    }
    bool interactive() const override { return false; }

private:
    std::vector<std::string> lines_;
    size_t next_ = 0;
    std::map<std::string, std::function<void()>> actions_;
};

class TravCommand : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        trav_settings_defaults();
        trav_current() = trav_lists{};
        // The drawing lives in the test's folder, so DWGPREFIX + DWGNAME name
        // files there.
        drawing().prefix = home() + "/";
        drawing().name = "site.dwg";
    }

    std::string path(const std::string& name) const { return home() + "/" + name; }

    // Live TEXT entities on the work layer as "text@x,y" (3 decimals).
    std::vector<std::string> work_texts()
    {
        std::vector<std::string> out;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (!e || e->erased || e->type != "TEXT" || e->layer() != "Orvik_survey_temp") continue;
            char at[64];
            std::snprintf(at, sizeof at, "@%.3f,%.3f", e->point(10).x, e->point(10).y);
            out.push_back(e->text(1) + at);
        }
        return out;
    }

    // A new traverse at (1000, 2000) in metres, station 1, then the lines given.
    std::string start_new(const std::string& then) { return run("(b_trav)\n1000,2000\nM\n1\n" + then); }

    // Runs the script with actions between its answers; the transcript it made.
    std::string run_acting(const std::string& script, std::map<std::string, std::function<void()>> actions)
    {
        const size_t before = session().transcript().text().size();
        session().set_input(std::make_unique<acting_input>(script, std::move(actions)));
        session().run();
        return session().transcript().text().substr(before);
    }

    // The listing of a traverse file opened in the command (P P: routes,
    // computation and stations).
    std::string open_and_list(const std::string& file) { return run("(b_trav)\nO\n" + file + "\nP\nP\nX\n"); }
};
