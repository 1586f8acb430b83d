#pragma once
// Every message box and modal window of the client goes through the dialog service. In a
// running client it shows real Qt dialogs; a test (or an offscreen run) scripts it with queued
// answers, so nothing ever blocks waiting for a user. Client (GUI) thread only.

#include <QFont>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace orvane {

enum class DialogKind : std::uint8_t { Warning, Error, Information, Confirmation, Plain };

// The answers of a message box, as the callers test them.
struct DialogAnswer {
    static constexpr int Ok = 1;
    static constexpr int Cancel = 2;
    static constexpr int Yes = 6;
    static constexpr int No = 7;
};

struct MessageDialog {
    QString caption;
    QString text;
    DialogKind kind = DialogKind::Plain;
    std::vector<int> buttons{DialogAnswer::Ok}; // answers in the order shown; the first is the default
    std::optional<QFont> font;                  // the box keeps its own font when empty
};

class DialogService {
public:
    // The process's service.
    static DialogService& instance();

    // Shows the box modally and answers the button pressed (Escape answers Cancel when the box
    // has it, else the last button). Scripted: the next queued answer, or the default button.
    int showMessage(const MessageDialog& dialog);
    // Shows window modally until it is hidden or closed. Scripted: the next queued modal action
    // runs on the shown window instead of an event loop waiting for the user; with none queued
    // the window is closed at once.
    void runModal(QWidget& window);

    // While an Unattended lives, nothing is shown: work done ahead of the user (a window made in
    // idle time) must not speak to them out of the blue. A box answers as Escape would, a modal
    // window is closed unshown, and asked() tells whether either happened, so that the work
    // can be thrown away and done again when the user asks for it.
    class Unattended {
    public:
        Unattended();
        ~Unattended();
        Unattended(const Unattended&) = delete;
        Unattended& operator=(const Unattended&) = delete;
        bool asked() const { return instance().unattendedAsked_; }

    private:
        bool wasUnattended_;
        bool hadAsked_;
    };

    // Scripting for tests and offscreen runs.
    void setScripted(bool scripted);
    bool scripted() const { return scripted_; }
    void queueAnswer(int answer);
    void queueModalAction(std::function<void(QWidget&)> action);
    // The boxes shown while scripted since the last clear, in order (a running client keeps none).
    const std::vector<MessageDialog>& shownMessages() const { return shown_; }
    // Answers queued and not used yet.
    std::size_t pendingAnswers() const { return answers_.size(); }
    // Drops the queued answers and modal actions and the record of boxes shown.
    void clear();

private:
    int scriptedAnswer(const MessageDialog& dialog);
    void runScripted(QWidget& window);
    static int showBox(const MessageDialog& dialog);
    static void runEventLoop(QWidget& window);

    bool scripted_ = false;
    bool unattended_ = false;      // an Unattended lives
    bool unattendedAsked_ = false; // and something was to be shown meanwhile
    std::deque<int> answers_;
    std::deque<std::function<void(QWidget&)>> modalActions_;
    std::vector<MessageDialog> shown_;
};

} // namespace orvane
