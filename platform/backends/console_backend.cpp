#include "console_backend.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "forms/form.h"
#include "forms/message_box.h"
#include "forms/user_interface.h"
#include "platform_error.h"

namespace platform {

using forms::Control;
using forms::ControlKind;

namespace {

class ConsoleView : public forms::FormView {
  public:
    ConsoleView(ConsoleBackend& backend, forms::Form& form) : backend_(backend), form_(form) {}
    ~ConsoleView() override { backend_.ViewClosed(form_); }
    void Refresh(Control&) override {}
    void Focus(Control&) override {}

  private:
    ConsoleBackend& backend_;
    forms::Form& form_;
};

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

std::string WithoutMnemonic(const std::string& caption) {
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        plain += caption[i];
    }
    return plain;
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string IconWord(unsigned style) {
    switch (style & forms::kMbIconMask) {
        case forms::kMbIconHand:
            return "Error: ";
        case forms::kMbIconExclamation:
            return "Warning: ";
        default:
            return {};
    }
}

struct Choice {
    char key;
    int id;
    std::string label;
    std::string name;
};

std::vector<Choice> ChoicesFor(unsigned style) {
    switch (style & forms::kMbButtonsMask) {
        case forms::kMbOkCancel:
            return {{'o', forms::kIdOk, "[O]K", "OK"},
                    {'c', forms::kIdCancel, "[C]ancel", "Cancel"}};
        case forms::kMbYesNo:
            return {{'y', forms::kIdYes, "[Y]es", "Yes"}, {'n', forms::kIdNo, "[N]o", "No"}};
        default:
            return {{'o', forms::kIdOk, "[O]K", "OK"}};
    }
}

// The controls a user can pick: buttons, and labels that act on a click.
std::vector<Control*> Pickable(const forms::Form& form) {
    std::vector<Control*> picks;
    for (Control* control : form.Controls()) {
        if (control->Kind() == ControlKind::CommandButton ||
            (control->Kind() == ControlKind::Label && control->OnClick)) {
            picks.push_back(control);
        }
    }
    std::stable_sort(picks.begin(), picks.end(), [](const Control* a, const Control* b) {
        return a->TabIndex() < b->TabIndex();
    });
    return picks;
}

}  // namespace

ConsoleBackend::Terminal ConsoleBackend::OpenTerminal() {
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (tty >= 0) return {tty, tty, true};
    if (::isatty(0) && ::isatty(2)) return {0, 2, false};
    return {};
}

ConsoleBackend::ConsoleBackend(Terminal terminal, int errorFd)
    : terminal_(terminal), errorFd_(errorFd) {}

ConsoleBackend::~ConsoleBackend() {
    if (terminal_.ownsDescriptors) {
        ::close(terminal_.in);
        if (terminal_.out != terminal_.in) ::close(terminal_.out);
    }
}

void ConsoleBackend::Write(const std::string& text) { WriteAll(terminal_.out, text); }

bool ConsoleBackend::ReadLine(std::string& line) {
    line.clear();
    char c = 0;
    for (;;) {
        const ssize_t n = ::read(terminal_.in, &c, 1);
        if (n <= 0) return !line.empty();
        if (c == '\n') return true;
        line += c;
    }
}

int ConsoleBackend::MessageBox(const std::string& text, unsigned style, const std::string& title) {
    const std::vector<Choice> choices = ChoicesFor(style);
    if (!terminal_.Present()) {
        WriteAll(errorFd_, title + ": " + IconWord(style) + text + "\n");
        return forms::SafeAnswer(style);
    }
    const std::size_t defaultIndex = std::min<std::size_t>((style >> 8) & 0x3, choices.size() - 1);
    std::string prompt;
    for (const Choice& choice : choices) prompt += (prompt.empty() ? "" : "/") + choice.label;
    prompt += " (Enter: " + choices[defaultIndex].name + ")? ";

    Write("\n[" + title + "]\n" + IconWord(style) + text + "\n");
    for (;;) {
        Write(prompt);
        std::string line;
        if (!ReadLine(line)) {
            Write("\n");
            return forms::SafeAnswer(style);
        }
        line = Trim(line);
        if (line.empty()) return choices[defaultIndex].id;
        const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        for (const Choice& choice : choices) {
            if (choice.key == key) return choice.id;
        }
    }
}

std::unique_ptr<forms::FormView> ConsoleBackend::CreateView(forms::Form& form, forms::Form*, bool) {
    if (!terminal_.Present()) throw PlatformError("no display and no terminal");
    for (const Control* control : form.Controls()) {
        if (control->Kind() == ControlKind::TextBox ||
            control->Kind() == ControlKind::OptionButton) {
            throw PlatformError("this dialog needs a display");
        }
    }
    shown_.push_back(&form);
    return std::make_unique<ConsoleView>(*this, form);
}

void ConsoleBackend::ViewClosed(forms::Form& form) {
    shown_.erase(std::remove(shown_.begin(), shown_.end(), &form), shown_.end());
}

void ConsoleBackend::RunModal(forms::Form& form) {
    Present([&form] { return !form.IsLoaded(); }, &form);
}

void ConsoleBackend::RunUntil(const std::function<bool()>& done) { Present(done, nullptr); }

void ConsoleBackend::Present(const std::function<bool()>& done, forms::Form* only) {
    while (!done()) {
        forms::Form* form = nullptr;
        if (only) {
            if (std::find(shown_.begin(), shown_.end(), only) != shown_.end()) form = only;
        } else if (!shown_.empty()) {
            form = shown_.back();
        }
        // Nothing the user could still act on.
        if (!form) return;
        Offer(*form);
    }
}

void ConsoleBackend::Offer(forms::Form& form) {
    std::string page = "\n== " + form.Style().caption + " ==\n";
    std::vector<const Control*> texts;
    for (const Control* control : form.Controls()) {
        if (control->Kind() == ControlKind::Label && !control->OnClick &&
            !control->Caption().empty()) {
            texts.push_back(control);
        }
    }
    std::stable_sort(texts.begin(), texts.end(), [](const Control* a, const Control* b) {
        return a->Rect().top < b->Rect().top;
    });
    for (const Control* text : texts) page += WithoutMnemonic(text->Caption()) + "\n";

    const std::vector<Control*> picks = Pickable(form);
    for (std::size_t i = 0; i < picks.size(); ++i) {
        page += "  " + std::to_string(i + 1) + ") " + WithoutMnemonic(picks[i]->Caption()) + "\n";
    }
    page += "  0) Close\n";
    Write(page);

    for (;;) {
        Write("Choose 0-" + std::to_string(picks.size()) + ": ");
        std::string line;
        if (!ReadLine(line)) {
            // Nobody is left to answer: close it as the close box would.
            Write("\n");
            form.Ui().Unload(form);
            return;
        }
        line = Trim(line);
        char* end = nullptr;
        const long pick = std::strtol(line.c_str(), &end, 10);
        if (line.empty() || *end != '\0' || pick < 0 || pick > static_cast<long>(picks.size())) {
            continue;
        }
        if (pick == 0) {
            form.Ui().Unload(form);
        } else {
            picks[static_cast<std::size_t>(pick - 1)]->Click();
        }
        return;
    }
}

std::string ConsoleBackend::BrowseForFolder(const std::string& instruction) {
    if (!terminal_.Present()) throw PlatformError("no display and no terminal");
    Write("\n" + instruction + "\n");
    for (;;) {
        Write("Folder (Enter: cancel): ");
        std::string line;
        if (!ReadLine(line)) {
            Write("\n");
            return {};
        }
        std::string path = Trim(line);
        if (path.empty()) return {};
        if (path == "~" || path.rfind("~/", 0) == 0) {
            const char* home = std::getenv("HOME");
            if (home) path = home + path.substr(1);
        }
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            char* real = ::realpath(path.c_str(), nullptr);
            if (real) {
                path = real;
                std::free(real);
            }
            return path;
        }
        Write("There is no folder " + path + "\n");
    }
}

std::uintptr_t ConsoleBackend::OpenHelpWindow(const std::string& title, const std::string&,
                                              std::function<std::string(const std::string&)>) {
    throw PlatformError("help \"" + title + "\" needs a display");
}

}  // namespace platform
