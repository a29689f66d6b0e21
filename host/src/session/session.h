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
    // Where the last line came from, for messages: "session.scr:12"; empty when
    // the input has no name or no line was read yet.
    virtual std::string where() const { return ""; }
};
// Answers from a text; name (a file's path) names its lines in messages.
std::unique_ptr<Input> script_input(std::string text, std::string name = "");
std::unique_ptr<Input> file_input(const std::string& path);  // nullptr when unreadable
std::unique_ptr<Input> terminal_input();                     // standard input

// What the command line showed, with "\r" progress lines rewritten in place.
// On a terminal stdout gets the "\r" as it is; elsewhere (a log, a pipe) each
// progress line ends in a newline instead, so that the log stays readable.
class Transcript {
public:
    Transcript();
    void print(const std::string& text);
    // A message that ends its line, as a command line shows a refusal before it
    // asks again: the prompt that follows starts on the next line, and its own
    // leading line end does not leave an empty line between.
    void print_line(const std::string& text);
    // The answer to a prompt, written behind it; the next output starts on a new line.
    // echo: also shown on stdout (not when a person typed it there).
    void answer(const std::string& text, bool echo);
    const std::string& text() const { return text_; }
    void clear()
    {
        text_.clear();
        line_start_ = 0;
        rewrite_pending_ = after_answer_ = typed_at_terminal_ = line_ended_ = false;
    }
    // What the line a person types on shows already: the prompt; empty after an
    // answer, whose Enter began a new line.
    std::string prompt_shown() const { return after_answer_ ? "" : text_.substr(line_start_); }
    std::vector<std::string> alerts;  // every acedAlert text, in order
    bool echo_to_stdout = true;
    bool stdout_is_terminal;  // set from stdout at the start

private:
    void put(const std::string& text);
    void show(const std::string& text);  // on stdout, as stdout_is_terminal says
    bool shown_line_empty_ = true;       // stdout is at the start of a line
    bool shown_cr_pending_ = false;      // a "\r" came that the next text resolves
    std::string text_;
    std::size_t line_start_ = 0;      // where the last line of text_ begins
    bool rewrite_pending_ = false;    // a "\r" came: the next text replaces the line
    bool after_answer_ = false;       // the last thing written was an answer
    bool typed_at_terminal_ = false;  // that answer was typed at a terminal, which is on the next line now
    bool line_ended_ = false;         // print_line ended the line: a leading line end next is dropped
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
    // A List whose last item is the cdr of its last pair: (a . b), (a b . c).
    bool dotted = false;
    std::string printed() const;  // as LISP prints it: (50 . 0.523599), (10 0.0 0.0 0.0)
};
// The list of items followed by tail, as cons builds it: a list or a point as
// tail goes on the list ((10 . (1 2 3)) is (10 1 2 3)), nil ends it, any other
// value makes a dotted list.
LispValue lisp_list_with_tail(std::vector<LispValue> items, LispValue tail);

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
    // Where the file it was opened from ends early and what was not read, while
    // that file still holds more than the drawing; a save over it asks first.
    std::string read_in_part;
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
    static Session& get();  // the running session; aborts when none
    static Session* current_or_null();

    // Documents.
    Document& current();  // throws std::logic_error when no drawing is open
    bool has_document() const { return current_ >= 0; }
    int current_index() const { return current_; }
    std::vector<std::unique_ptr<Document>>& documents() { return documents_; }
    Document& new_document();        // becomes current; plug-ins get load-drawing
    void switch_to(int index);       // no plug-in message: the drawing stays loaded
    void close_document(int index);  // plug-ins get unload-drawing
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

    // Failures: something a user or script asked for that could not be done (an
    // unknown command, a failed OPEN or SAVEAS, a LISP error, a plug-in that does
    // not load). fail() shows the message on the command line, and on standard
    // error when errors_to_stderr is set; failure_shown() counts one whose message
    // the command line already shows. With stop_at_first_failure the session
    // ends: run() stops after the current line and every later prompt ends as if
    // the input had run out.
    void fail(const std::string& message);
    void failure_shown(const std::string& shown);
    int failures() const { return failures_; }
    bool stopping() const { return stopping_; }
    // A command was still asking when the input ended (or the session stopped):
    // the command line says so, and it counts as a failure unless the session is
    // stopping already.
    void input_ended_while_asking(const std::string& prompt);
    bool errors_to_stderr = false;
    bool stop_at_first_failure = false;

    // Runs the input to its end: LISP expressions, top-level commands, answers.
    void run();
    // Evaluates one LISP expression text and prints its value; false on an error
    // (reported on the command line).
    bool eval_and_print(const std::string& expression);
    std::optional<LispValue> eval(const std::string& expression);

    // Host commands.
    void register_command(const std::string& name, HostCommand command);
    int run_command(const std::string& name, CommandArgs& args);
    // help: "ARGUMENTS: what it does", as HELP lists it.
    void register_script_command(const std::string& name, ScriptCommand command, std::string help = "");
    // Runs a top-level line "WORD argument" as a script command; false when WORD is none.
    bool run_script_command(const std::string& line);
    // The top-level commands with what each does, in alphabetical order (HELP).
    struct ScriptCommandHelp {
        std::string name, help;
    };
    std::vector<ScriptCommandHelp> script_command_list() const;
    void quit() { quit_requested_ = true; }  // run() stops after the current line
    bool quit_requested() const { return quit_requested_; }

    // Settings of this run.
    std::string install_folder;  // the product's install tree
    int pump_second_ms = 1000;   // what one second of the message pump lasts
    std::string plugin_folder;   // where a bare plug-in name ("Kestrom") is looked for

private:
    std::vector<std::unique_ptr<Document>> documents_;
    int current_ = -1;
    std::vector<std::unique_ptr<LoadedApp>> apps_;
    std::unique_ptr<Input> input_;
    Transcript transcript_;
    std::map<std::string, HostCommand> commands_;
    struct ScriptCommandEntry {
        std::string name;  // as registered
        std::string help;
        ScriptCommand command;
    };
    std::map<std::string, ScriptCommandEntry> script_commands_;
    bool quit_requested_ = false;
    int failures_ = 0;
    bool stopping_ = false;
    int new_count_ = 0;  // new drawings so far, for the names Drawing1.dwg, Drawing2.dwg...
    friend struct SessionAccess;
};

}  // namespace host
