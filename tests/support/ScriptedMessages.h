#pragma once

#include <deque>
#include <string>
#include <vector>

#include "text/MessageBox.h"

// Answers the program's questions from a script while it exists, and keeps what was asked.
class TScriptedMessages : public TMessageBox {
public:
    explicit TScriptedMessages(std::deque<TModalResult> answers = {})
        : m_Answers(std::move(answers)), m_Previous(TMessageBox::Install(this)) {}
    ~TScriptedMessages() override { TMessageBox::Install(m_Previous); }

    TModalResult Show(const std::string& message, TMsgDlgType, TMsgButtons) override {
        Asked.push_back(message);
        if (m_Answers.empty()) return TModalResult::mrCancel;
        const TModalResult answer = m_Answers.front();
        m_Answers.pop_front();
        return answer;
    }

    std::vector<std::string> Asked;

private:
    std::deque<TModalResult> m_Answers;
    TMessageBox* m_Previous;
};
