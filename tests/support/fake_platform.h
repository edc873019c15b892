#pragma once

#include <QPageLayout>
#include <QPrinter>
#include <QString>
#include <array>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "platform/dialogs.h"
#include "platform/joystick.h"
#include "platform/key_state.h"
#include "platform/platform.h"
#include "platform/settings_store.h"
#include "platform/wall_clock.h"

namespace quillon::testing {

class FakeSettingsStore : public platform::SettingsStore {
  public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) const override {
        const auto found = values.find(application + "/" + section + "/" + key);
        return found == values.end() ? defaultValue : found->second;
    }
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override {
        values[application + "/" + section + "/" + key] = value;
    }

    std::optional<QString> resultsPath() const {
        const auto found = values.find("Quillon/Settings/resultspath");
        return found == values.end() ? std::nullopt : std::optional<QString>(found->second);
    }

    std::map<QString, QString> values;
};

class FakeWallClock : public platform::WallClock {
  public:
    text::CivilDateTime now() const override { return time; }
    text::CivilDateTime time{2026, 12, 6, 14, 5, 9};
};

// Answers dialogs from scripts and records every one that was shown.
class FakeDialogs : public platform::Dialogs {
  public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Print };
    struct Shown {
        Kind kind;
        QString text;  // message text or input prompt
        QString title;
        platform::MessageStyle style = platform::MessageStyle::Ok;
        platform::FileDialogRequest request;
    };

    platform::MessageAnswer message(const QString& text, platform::MessageStyle style,
                                    const QString& title) override {
        shown.push_back({Kind::Message, text, title, style, {}});
        if (!messageAnswers.empty()) {
            const auto answer = messageAnswers.front();
            messageAnswers.pop_front();
            return answer;
        }
        return style == platform::MessageStyle::YesNo ? platform::MessageAnswer::No
                                                      : platform::MessageAnswer::Ok;
    }

    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText, std::optional<QPoint>) override {
        shown.push_back({Kind::Input, prompt, title, platform::MessageStyle::Ok, {}});
        inputDefaults.push_back(defaultText);
        // A screen that asks until it gets a good answer would ask forever once the script
        // has run out: stop the test instead.
        if (inputAnswers.empty() && ++unansweredInputs > 1000) {
            qFatal("input box asked again and again without a scripted answer: %s",
                   qPrintable(prompt));
        }
        return next(inputAnswers);
    }

    std::optional<QString> openFile(const platform::FileDialogRequest& request) override {
        shown.push_back({Kind::OpenFile, {}, request.title, platform::MessageStyle::Ok, request});
        return next(fileAnswers);
    }

    std::optional<QString> saveFile(const platform::FileDialogRequest& request) override {
        shown.push_back({Kind::SaveFile, {}, request.title, platform::MessageStyle::Ok, request});
        return next(fileAnswers);
    }

    // A scripted path answers with a PDF printer writing to that file, on the paper of
    // printLayout when one is set (as the operator would choose it in the dialog); nothing
    // cancels.
    bool print(QPrinter& printer, const QString& title) override {
        shown.push_back({Kind::Print, {}, title, platform::MessageStyle::Ok, {}});
        const auto answer = next(printAnswers);
        if (answer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(*answer);
            if (printLayout) {
                printer.setPageLayout(*printLayout);
            }
        }
        return answer.has_value();
    }

    std::vector<Shown> messages() const {
        std::vector<Shown> result;
        for (const auto& s : shown) {
            if (s.kind == Kind::Message) {
                result.push_back(s);
            }
        }
        return result;
    }

    std::deque<platform::MessageAnswer> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<QString>> printAnswers;
    std::optional<QPageLayout> printLayout;
    std::vector<Shown> shown;
    std::vector<QString> inputDefaults;  // the text each input box was opened with
    int unansweredInputs = 0;

  private:
    static std::optional<QString> next(std::deque<std::optional<QString>>& answers) {
        if (answers.empty()) {
            return std::nullopt;
        }
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Arrow keys held down as the test says.
class FakeKeyState : public platform::KeyState {
  public:
    bool pressed(platform::ArrowKey key) override {
        return down[static_cast<std::size_t>(key) - 37];
    }
    void hold(platform::ArrowKey key, bool isDown) {
        down[static_cast<std::size_t>(key) - 37] = isDown;
    }
    std::array<bool, 4> down{};
};

class FakeJoystick : public platform::Joystick {
  public:
    int capabilities() override { return capabilitiesResult; }
    int position(platform::JoystickPosition& out) override {
        if (positionResult == platform::joystick_result::ok) {
            out = current;
        }
        return positionResult;
    }
    // A joystick at rest unless a test says otherwise.
    int capabilitiesResult = platform::joystick_result::ok;
    int positionResult = platform::joystick_result::ok;
    platform::JoystickPosition current{32767, 32767, 0};
};

}  // namespace quillon::testing
