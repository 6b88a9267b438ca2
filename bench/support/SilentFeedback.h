#pragma once

// A run feedback for measurements: nothing shown, nothing interrupted, every
// question answered yes (as the buttons allow); the last line is kept for a
// runner that reports how a run ended.

#include "platform/RunFeedback.h"

namespace vardof::bench {

class SilentFeedback : public platform::RunFeedback
{
public:
    void line(const QString &text) override { last = text; }
    void progress(int) override {}
    bool interruptRequested() override { return false; }
    platform::Answer ask(platform::MessageKind, const QString &, platform::Buttons buttons) override
    {
        return platform::fitAnswer(buttons, platform::Answer::Yes);
    }

    QString last;
};

} // namespace vardof::bench
