#pragma once
// One table of what a user does in a mission folder and what must follow:
// the file on disk, the status line, the question, the messages and where
// the focus ends. The same rows run against the core alone and against each
// window, each through a small driver of its own.

#include "mission/mission.h"

#include <memory>
#include <string>
#include <vector>

namespace qor::scenario
{

// What a test does with one window (or with the core standing in for it).
// The driver answers questions from `answers` (Cancel once they run out) and
// records every question and message it is shown.
class Driver
{
  public:
    virtual ~Driver() = default;
    // The window opens the working folder, or keeps the start values.
    virtual void open(bool startValues) = 0;
    // A click on a check box.
    virtual void click(ControlId checkBox) = 0;
    // The box's text replaced by typing.
    virtual void type(ControlId box, const std::string &text) = 0;
    // A click on "G E N E R A T E".
    virtual void press() = 0;
    // A click on "Folder...", and `folder` chosen in the chooser.
    virtual void chooseFolder(const std::string &folder) = 0;
    virtual std::string status() = 0;
    // The name of the control with the focus ("cmd", "cant_0", ...).
    virtual std::string focus() = 0;

    std::vector<Answer> answers;
    std::vector<std::string> questions, messages;

    Answer nextAnswer(const Question &q)
    {
        questions.push_back(q.text);
        if (answers.empty())
            return Answer::Cancel;
        const Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

using MakeDriver = std::unique_ptr<Driver> (*)();

// Runs every row of the table, each in fresh folders under the system's
// temporary folder with a fresh driver, as GoogleTest checks.
void runAll(MakeDriver make);

} // namespace qor::scenario
