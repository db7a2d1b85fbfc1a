#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/soundplayer.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace qmx {

// A clock the test sets.
class FakeClock final : public Clock {
public:
    QTime time{9, 5, 3};
    QDate date{2026, 12, 6};
    [[nodiscard]] QTime Now() const override { return time; }
    [[nodiscard]] QDate Today() const override { return date; }
};

// Records every box and answers dialogs from a script (Ok, cancel when nothing is queued).
class ScriptedDialogs final : public Dialogs {
public:
    struct Box {
        QString text;
        Buttons buttons;
        QString title;
    };
    std::vector<Box> boxes;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> files;
    std::vector<OpenFileRequest> fileRequests;
    std::function<void()> whileBoxIsOpen; // what the user does before answering a box

    Answer MsgBox(const QString& text, Buttons buttons, const QString& title) override {
        boxes.push_back({text, buttons, title});
        if (whileBoxIsOpen) {
            whileBoxIsOpen();
        }
        return next(answers, buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel);
    }
    std::optional<QString> OpenFile(const OpenFileRequest& request) override {
        fileRequests.push_back(request);
        return next(files, {});
    }
    std::optional<QString> ChooseFont(const QString&) override { return std::nullopt; }

private:
    template <typename T> static T next(std::deque<T>& queue, T none) {
        if (queue.empty()) {
            return none;
        }
        T v = queue.front();
        queue.pop_front();
        return v;
    }
};

// Records the sound calls: "play:<path>", "stop", "beep". Playing fails while playable is
// false; failed says the sound started last has turned out unplayable.
class RecordingSound final : public SoundPlayer {
public:
    QStringList calls;
    bool playable = true;
    bool failed = false;
    bool PlayLoop(const QString& path) override {
        calls << "play:" + path;
        return playable;
    }
    [[nodiscard]] bool Failed() const override { return failed; }
    void Stop() override { calls << "stop"; }
    void Beep() override { calls << "beep"; }
    [[nodiscard]] qsizetype count(const QString& call) const { return calls.count(call); }
};

} // namespace qmx
