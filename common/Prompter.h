// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the logic talks to the user without knowing about windows: the program
// shows message boxes, tests answer with a double.

#include <string>
#include <vector>

namespace skartina {

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void inform(const std::string& text) = 0;
    // A question with the buttons Yes and No; only Yes returns true.
    virtual bool confirm(const std::string& text) = 0;

    // A long text (a summary of many lines), in a window that scrolls where it
    // would not fit the screen.
    virtual void report(const std::string& text) { inform(text); }

    // A Yes/No question whose default button (Enter) is Yes: an offer the
    // user normally takes.
    virtual bool offer(const std::string& text) { return confirm(text); }

    enum class Answer { Yes, No, Cancel };
    // A question with the buttons Yes, No and Cancel; closing the box is Cancel.
    // Where no one can cancel (batch use), it is the Yes/No question.
    virtual Answer ask(const std::string& text) { return confirm(text) ? Answer::Yes : Answer::No; }

    // A Yes/No question asked for each item of a run (each year), whose
    // default is No; `forAll` true: the answer holds for the rest of the run.
    struct EachAnswer {
        bool yes = false;
        bool forAll = false;
    };
    virtual EachAnswer askEach(const std::string& text) { return {confirm(text), false}; }

    // A message with buttons of the given captions; the index of the one
    // pressed, or -1 when the message was closed. The last button is the
    // default and the one of Escape: the harmless one.
    virtual int choose(const std::string& text, const std::vector<std::string>& buttons) {
        (void)buttons;
        inform(text);
        return -1;
    }
};

}  // namespace skartina
