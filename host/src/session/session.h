// The running host: its documents, the loaded plug-ins, the one input stream
// (script or terminal) that answers prompts and dialogs, and the transcript of
// what the command line showed. The API functions of host/api reach the host's
// state only through Session::get().
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "arxapp.h"
#include "db/drawing.h"

struct resbuf;

namespace host {

// Thrown when the input runs out while a command is still asking; it unwinds the
// command back to the LISP call that started it, which ends with a message.
struct InputExhausted : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where answers come from: the lines of a script, or a terminal.
class Input {
public:
    virtual ~Input() = default;
    // The next line, without its line end; nullopt when the input has ended.
    virtual std::optional<std::string> next_line() = 0;
    // True when a person types the answers (prompts are then not echoed).
    virtual bool interactive() const = 0;
};
std::unique_ptr<Input> script_input(std::string text);        // answers from a text
std::unique_ptr<Input> file_input(const std::string& path);  // nullptr when unreadable
std::unique_ptr<Input> terminal_input();                      // standard input

// What the command line showed, with "\r" progress lines rewritten in place.
class Transcript {
public:
    void print(const std::string& text);
    // The answer to a prompt, written behind it; the next output starts on a new line.
    // echo: also shown on stdout (not when a person typed it there).
    void answer(const std::string& text, bool echo);
    const std::string& text() const { return text_; }
    void clear()
    {
        text_.clear();
        line_start_ = 0;
        rewrite_pending_ = after_answer_ = false;
    }
    std::vector<std::string> alerts;  // every acedAlert text, in order
    bool echo_to_stdout = true;

private:
    void put(const std::string& text);
    std::string text_;
    std::size_t line_start_ = 0;   // where the last line of text_ begins
    bool rewrite_pending_ = false;  // a "\r" came: the next text replaces the line
    bool after_answer_ = false;     // the last thing written was an answer
};

// A temporary vector drawn with acedGrDraw; gone at the next full redraw.
struct GrVector {
    Point3 from, to;
    int colour = 7;
    int highlight = 0;
};

// A LISP value as the evaluator holds it.
struct LispValue {
    enum Kind { Nil, T, Int, Real, Str, Point, Name, List, Symbol } kind = Nil;
    long integer = 0;
    double real = 0;
    std::string text;  // a string's text, a symbol's name
    Point3 point;
    long name[2] = {0, 0};
    std::vector<LispValue> items;
    std::string printed() const;  // as LISP prints it
};

struct LoadedApp;

// A LISP function a plug-in defined in a document.
struct DefinedFunction {
    LoadedApp* app = nullptr;
    int code = 0;
};

struct DxfKept;

struct Document {
    Drawing drawing;
    // What the drawing's file held that the host does not model, written back
    // when the drawing is saved; null for a new drawing.
    std::shared_ptr<const DxfKept> file_kept;
    std::map<std::string, DefinedFunction> functions;  // lower-case name
    std::map<std::string, LispValue> lisp_variables;
    std::vector<GrVector> temp_vectors;
    std::vector<long> highlighted;
    long previous_set[2] = {0, 0};  // the last selection set a user made
    bool modified = false;
    std::string file_path;  // the file it was opened from or saved to; empty for a new drawing
};

// A host command run through acedCommand: it takes its answers from args (the
// values of the call after the command name, as text: points "x,y,z", reals with
// full precision, entity names "@ename:<id>") and returns RTNORM or RTERROR. It
// prints its own message when it cannot be carried out.
using CommandArgs = std::vector<std::string>;
using HostCommand = std::function<int(CommandArgs& args)>;

// A command typed at the top level of a script or terminal (not inside a LISP
// call), with the rest of its line as argument.
using ScriptCommand = std::function<void(const std::string& argument)>;

class Session;

// A part of the host (its commands, its script commands, its LISP functions) that
// every new session gets: register it from a static initialiser of that part's
// file, e.g.  static const bool added = host::add_session_setup(register_misc_commands);
// Each session runs the setups in the order added, after its own built-in commands.
using SessionSetup = std::function<void(Session&)>;
bool add_session_setup(SessionSetup setup);

class Session {
public:
    Session();
    ~Session();
    static Session& get();           // the running session; aborts when none
    static Session* current_or_null();

    // Documents.
    Document& current();  // throws std::logic_error when no drawing is open
    bool has_document() const { return current_ >= 0; }
    int current_index() const { return current_; }
    std::vector<std::unique_ptr<Document>>& documents() { return documents_; }
    Document& new_document();                  // becomes current; plug-ins get load-drawing
    void switch_to(int index);                 // no plug-in message: the drawing stays loaded
    void close_document(int index);            // plug-ins get unload-drawing
    // Adds a document that was read from a file (the DXF reader builds it).
    Document& add_document(std::unique_ptr<Document> document);

    // Plug-ins.
    bool load_plugin(const std::string& path);  // init-app, then load-drawing for each document
    void unload_plugins();                      // unload-drawing for each document, then unload-app
    // Starts an application whose entry point is already in this process (a test's
    // stand-in plug-in) exactly as load_plugin starts a loaded library.
    bool attach_app(const std::string& name, acrx_entry_point_fn entry);

    // Input and output.
    void set_input(std::unique_ptr<Input> input);
    Input* input() { return input_.get(); }
    // Shows the prompt and returns the next answer; throws InputExhausted at the end
    // of the input. "^C" on a line of its own is the user's Esc.
    std::string ask(const std::string& prompt);
    // The next line of input for an open dialog (its action), after showing what the
    // dialog shows; throws InputExhausted at the end of the input.
    std::string ask_dialog(const std::string& shown);
    Transcript& transcript() { return transcript_; }
    void print(const std::string& text) { transcript_.print(text); }

    // Runs the input to its end: LISP expressions, top-level commands, answers.
    void run();
    // Evaluates one LISP expression text and prints its value; false on an error
    // (reported on the command line).
    bool eval_and_print(const std::string& expression);
    std::optional<LispValue> eval(const std::string& expression);

    // Host commands.
    void register_command(const std::string& name, HostCommand command);
    int run_command(const std::string& name, CommandArgs& args);
    void register_script_command(const std::string& name, ScriptCommand command);
    // Runs a top-level line "WORD argument" as a script command; false when WORD is none.
    bool run_script_command(const std::string& line);
    void quit() { quit_requested_ = true; }  // run() stops after the current line
    bool quit_requested() const { return quit_requested_; }

    // Settings of this run.
    std::string install_folder;   // the product's install tree
    int pump_second_ms = 1000;    // what one second of the message pump lasts
    std::string plugin_folder;    // where a bare plug-in name ("Kestrom") is looked for

private:
    std::vector<std::unique_ptr<Document>> documents_;
    int current_ = -1;
    std::vector<std::unique_ptr<LoadedApp>> apps_;
    std::unique_ptr<Input> input_;
    Transcript transcript_;
    std::map<std::string, HostCommand> commands_;
    std::map<std::string, ScriptCommand> script_commands_;
    bool quit_requested_ = false;
    int new_count_ = 0;  // new drawings so far, for the names Drawing1.dwg, Drawing2.dwg...
    friend struct SessionAccess;
};

}  // namespace host
