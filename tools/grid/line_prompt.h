#pragma once
// A one-line question in the message pane ("go to id: ", "from: "): printable keys add to the
// answer, Backspace takes the last character off, Enter accepts and Esc gives up. The answer is
// UTF-8 as typed; the caller says what it is for and what follows.

#include <string>

namespace grid_tool {

class LinePrompt {
public:
    enum class Outcome { Editing, Accepted, Cancelled };

    // Asks a new question with an answer already filled in (empty for none).
    void Ask(std::string label, std::string answer = std::string());
    // One key, given as its character (Enter, Esc and Backspace by their control codes).
    Outcome Edit(int character);
    void Close() { active_ = false; }

    bool active() const { return active_; }
    const std::string& answer() const { return answer_; }
    // The prompt as the pane shows it, with a cursor block after the answer.
    std::string Line() const { return label_ + answer_ + "█"; }

private:
    bool active_ = false;
    std::string label_;
    std::string answer_;
};

// Takes the last UTF-8 character off text (nothing when it is empty).
void PopCharacter(std::string& utf8);

}  // namespace grid_tool
